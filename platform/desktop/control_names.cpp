#include "platform/desktop/control_names.h"

namespace {

// Gaps in dialog units; the templates leave 2 to 5 units between a label and
// its field.
constexpr int kMaxGapLeft = 8;
constexpr int kMaxGapAbove = 4;
constexpr int kMaxIndent = 4;

bool NeedsName(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::MultiLineEdit ||
           kind == ControlKind::ListView || kind == ControlKind::ProgressBar;
}

bool IsFixedLabel(const ControlTemplate& control) {
    return control.kind == ControlKind::StaticText && control.id == kNoId && *control.text;
}

bool OverlapVertically(const DialogRect& a, const DialogRect& b) {
    return a.y < b.y + b.cy && b.y < a.y + a.cy;
}

bool Contains(const DialogRect& outer, const DialogRect& inner) {
    return outer.x <= inner.x && outer.y <= inner.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}

int LabelLeftOf(const std::vector<ControlTemplate>& controls, const DialogRect& field) {
    int best = -1;
    int bestGap = kMaxGapLeft + 1;
    for (int i = 0; i < int(controls.size()); ++i) {
        const DialogRect& r = controls[i].rect;
        const int gap = field.x - (r.x + r.cx);
        if (IsFixedLabel(controls[i]) && gap >= 0 && gap < bestGap && OverlapVertically(r, field)) {
            best = i;
            bestGap = gap;
        }
    }
    return best;
}

int LabelAbove(const std::vector<ControlTemplate>& controls, const DialogRect& field) {
    for (int i = 0; i < int(controls.size()); ++i) {
        const DialogRect& r = controls[i].rect;
        const int gap = field.y - (r.y + r.cy);
        const int indent = r.x - field.x;
        if (IsFixedLabel(controls[i]) && gap >= 0 && gap <= kMaxGapAbove && indent >= -kMaxIndent &&
            indent <= kMaxIndent)
            return i;
    }
    return -1;
}

int SmallestGroupAround(const std::vector<ControlTemplate>& controls, const DialogRect& field) {
    int best = -1;
    long bestArea = 0;
    for (int i = 0; i < int(controls.size()); ++i) {
        const DialogRect& r = controls[i].rect;
        const long area = long(r.cx) * r.cy;
        if (controls[i].kind == ControlKind::GroupBox && *controls[i].text && Contains(r, field) &&
            (best < 0 || area < bestArea)) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

}  // namespace

std::vector<int> NamingControls(const DialogTemplate& dialogTemplate) {
    const std::vector<ControlTemplate>& controls = dialogTemplate.controls;
    std::vector<int> namers(controls.size(), -1);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!NeedsName(controls[i].kind)) continue;
        const DialogRect& field = controls[i].rect;
        int namer = LabelLeftOf(controls, field);
        if (namer < 0) namer = LabelAbove(controls, field);
        if (namer < 0) namer = SmallestGroupAround(controls, field);
        namers[i] = namer;
    }
    return namers;
}

namespace {

std::u16string Trimmed(const std::u16string& text) {
    const auto blank = [](char16_t c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
    };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace

std::u16string NameFromLabel(const std::u16string& text) {
    std::u16string name = Trimmed(text);
    while (!name.empty() && (name.back() == u':' || name.back() == u'：')) name.pop_back();
    return Trimmed(name);
}
