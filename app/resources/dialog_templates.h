#pragma once
// The dialog templates of the main window and its four pages.

#include "platform/desktop/dialog_template.h"

enum TemplateId {
    kMainWindowTemplate = 102,
    kAboutPageTemplate = 129,
    kEncryptionPageTemplate = 130,
    kHashPageTemplate = 133,
    kToolsPageTemplate = 134,
};

const DialogTemplate& MainWindowTemplate();
const DialogTemplate& AboutPageTemplate();
const DialogTemplate& EncryptionPageTemplate();
const DialogTemplate& HashPageTemplate();
const DialogTemplate& ToolsPageTemplate();
