#include "platform/desktop/dialog_template_win.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>

#include "platform/desktop/ui_text.h"

namespace {

class TemplateWriter {
  public:
    void Word(uint16_t value) { Bytes(&value, sizeof value); }
    void Dword(uint32_t value) { Bytes(&value, sizeof value); }
    void Text(const std::u16string& text) {
        Bytes(text.c_str(), (text.size() + 1) * sizeof(char16_t));
    }
    void AlignToDword() {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    }
    void PatchWord(std::size_t offset, uint16_t value) {
        bytes_[offset] = uint8_t(value);
        bytes_[offset + 1] = uint8_t(value >> 8);
    }
    std::size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    void Bytes(const void* data, std::size_t size) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + size);
        std::memcpy(bytes_.data() + at, data, size);
    }
    std::vector<uint8_t> bytes_;
};

struct ControlClass {
    const char16_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(const ControlTemplate& control) {
    const uint32_t style = control.style;
    switch (control.kind) {
        case ControlKind::PushButton:
            return {u"BUTTON",
                    DWORD((style & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
                    0};
        case ControlKind::CheckBox:
            return {u"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
        case ControlKind::RadioButton:
            return {u"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
        case ControlKind::GroupBox:
            return {u"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::StaticText: {
            DWORD align = SS_LEFT;
            if (style & kAlignRight) align = SS_RIGHT;
            if (style & kAlignCenter) align = SS_CENTER;
            return {u"STATIC", align | SS_NOPREFIX, 0};
        }
        case ControlKind::Edit:
            return {u"EDIT",
                    DWORD(ES_AUTOHSCROLL | WS_TABSTOP | ((style & kDigitsOnly) ? ES_NUMBER : 0) |
                          ((style & kReadOnly) ? ES_READONLY : 0)),
                    WS_EX_CLIENTEDGE};
        case ControlKind::MultiLineEdit:
            return {u"EDIT",
                    DWORD(ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP |
                          ((style & kVScroll) ? WS_VSCROLL : 0) |
                          ((style & kWantReturn) ? ES_WANTRETURN : 0) |
                          ((style & kReadOnly) ? ES_READONLY : 0)),
                    WS_EX_CLIENTEDGE};
        case ControlKind::ListView:
            return {u"SysListView32",
                    DWORD(LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP |
                          ((style & kMultiSelect) ? 0 : LVS_SINGLESEL)),
                    WS_EX_CLIENTEDGE};
        case ControlKind::ProgressBar:
            return {u"msctls_progress32", PBS_SMOOTH, 0};
        case ControlKind::TabControl:
            return {u"SysTabControl32", WS_TABSTOP | WS_CLIPSIBLINGS, 0};
    }
    return {u"STATIC", SS_LEFT, 0};
}

void WriteItem(TemplateWriter& out, const ControlTemplate& control, std::size_t index,
               bool startsGroup) {
    const ControlClass kind = ClassOf(control);
    DWORD style = WS_CHILD | WS_VISIBLE | kind.style;
    if (control.style & kDisabled) style |= WS_DISABLED;
    if (startsGroup) style |= WS_GROUP;
    out.AlignToDword();
    out.Dword(0);  // help identifier
    out.Dword(kind.exStyle);
    out.Dword(style);
    out.Word(uint16_t(control.rect.x));
    out.Word(uint16_t(control.rect.y));
    out.Word(uint16_t(control.rect.cx));
    out.Word(uint16_t(control.rect.cy));
    out.Dword(uint32_t(BuiltControlId(control, index)));
    out.Text(kind.name);
    out.Text(*control.text ? ::Text(control.text) : std::u16string());
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<uint8_t> BuildDialogTemplate(const DialogTemplate& dialogTemplate, bool page) {
    const DWORD style = page ? DS_SETFONT | DS_CONTROL | WS_CHILD
                             : DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION |
                                   WS_SYSMENU | WS_MINIMIZEBOX;
    TemplateWriter out;
    out.Word(1);       // version of DLGTEMPLATEEX
    out.Word(0xFFFF);  // its signature
    out.Dword(0);      // help identifier
    out.Dword(page ? 0 : WS_EX_APPWINDOW);
    out.Dword(style);
    out.Word(uint16_t(dialogTemplate.controls.size()));
    out.Word(0);
    out.Word(0);
    out.Word(uint16_t(dialogTemplate.cx));
    out.Word(uint16_t(dialogTemplate.cy));
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(page || !*dialogTemplate.caption ? std::u16string() : ::Text(dialogTemplate.caption));
    out.Word(8);  // points
    out.Word(FW_NORMAL);
    out.Word(uint16_t(DEFAULT_CHARSET << 8));  // not italic, the character set
    out.Text(u"MS Shell Dlg");
    // A run of radio buttons is one group: it starts at its first button and
    // ends where the next control starts a group of its own.
    bool previousWasRadio = false;
    for (std::size_t i = 0; i < dialogTemplate.controls.size(); ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        const bool radio = control.kind == ControlKind::RadioButton;
        WriteItem(out, control, i, !(radio && previousWasRadio));
        previousWasRadio = radio;
    }
    return out.Take();
}
