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

QString NameFromLabel(const QString& text) {
    QString name = text.trimmed();
    while (name.endsWith(u':') || name.endsWith(u'：')) name.chop(1);
    return name.trimmed();
}
