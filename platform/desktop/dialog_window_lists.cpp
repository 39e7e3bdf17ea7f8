// What every system's dialog window does alike: its template and units, and
// the file lists it holds by identifier and in template order.
#include "platform/desktop/dialog_window.h"

#include "platform/desktop/list_view.h"

DialogWindow::DialogWindow(const DialogTemplate& dialogTemplate)
    : template_(dialogTemplate), units_(DialogFontUnits()) {}

ListView* DialogWindow::List(int id) const {
    auto it = lists_.find(id);
    return it == lists_.end() ? nullptr : it->second.get();
}

ListView* DialogWindow::FirstList() const {
    return listOrder_.empty() ? nullptr : listOrder_.front();
}
