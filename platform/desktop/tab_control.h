#pragma once
// The tab control of a window, reached by its identifier: a row of tabs along
// the top of the control's rectangle, over a framed pane the pages sit in.

#include <functional>
#include <string>

#include "platform/desktop/dialog_window.h"

class TabControl {
  public:
    TabControl(const DialogWindow& window, int id) : window_(&window), id_(id) {}

    void AddTab(const std::u16string& text) const;
    /// The selected tab, or -1 when there is none.
    int Selected() const;
    /// Top of the control's rectangle in the window's client pixels.
    int Top() const;
    bool HasFocus() const;
    /// Sizes the tabs so that they end where the pages begin (`pageTop`) and
    /// draws the pane below them.
    void LayOut(int pageTop) const;
    /// Calls `handler` when another tab is selected.
    void OnSelChange(std::function<void()> handler) const;

  private:
    const DialogWindow* window_;
    int id_;
};
