#include "app/resources/dialog_templates.h"

const DialogTemplate& ToolsPageTemplate() {
    static const DialogTemplate dialog{
        kToolsPageTemplate,
        476,
        240,
        "",
        {
            {1003, ControlKind::ListView, "", kMultiSelect | kBorder, {250, 30, 215, 150}},
        }};
    return dialog;
}
