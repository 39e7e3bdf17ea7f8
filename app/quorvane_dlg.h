#pragma once
// The main window: four tab pages in one fixed rectangle, switching between
// them, and the routing of dropped files to the page shown.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/dialog_window.h"
#include "platform/desktop/tab_control.h"

class CTabAES256Dlg;
class CTabHashDlg;
class CTabToolsDlg;
class CTabAboutDlg;

class CQuorvaneDlg : public DialogWindow {
  public:
    static constexpr int kPageCount = 4;

    CQuorvaneDlg();
    ~CQuorvaneDlg() override;

    /// Routes dropped files to the page shown (see the .cpp for each tab).
    void OnDropFiles(const std::vector<std::u16string>& paths);
    /// Shows the page of the tab now selected and hides the previous one.
    void OnTabSelChange();
    /// The rectangle every page is placed in, in client pixels.
    PixelRect PageRect() const;

    DialogWindow* Page(int index) const { return m_pages[index].get(); }
    CTabAES256Dlg* EncryptionPage() const;
    CTabHashDlg* HashPage() const;
    CTabToolsDlg* ToolsPage() const;
    CTabAboutDlg* AboutPage() const;
    int CurrentPage() const { return m_curPage; }

  protected:
    void OnInitDialog() override;
    void OnCancel() override;

  private:
    TabControl Tabs() const;
    void ShowPage(int index, bool focusPage);

    /// Destroyed before the main window's own controls.
    std::array<std::unique_ptr<DialogWindow>, kPageCount> m_pages;
    uint8_t m_curPage = 0;
};
