#pragma once
// The Qt list control behind a ListView: a table in report style. Only the Qt
// implementation and the Qt window tests include this.

#include <QTableWidget>

#include "platform/desktop/list_view.h"

class ListControl : public QTableWidget {
  public:
    ListControl(QWidget* parent, bool multiSelect);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

/// The table of `list`.
inline QTableWidget* QtTable(const ListView& list) {
    return &list.Control();
}
