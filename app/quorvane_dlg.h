#pragma once
// The main window: four tab pages in one fixed rectangle, switching between
// them, and the routing of dropped files to the page shown.

#include <QIcon>
#include <QStringList>
#include <array>
#include <cstdint>

#include "platform/desktop/dialog_window.h"

class QTabBar;
class CTabAES256Dlg;
class CTabHashDlg;
class CTabToolsDlg;
class CTabAboutDlg;

class CQuorvaneDlg : public DialogWindow {
  public:
    static constexpr int kPageCount = 4;

    CQuorvaneDlg();

    /// Routes dropped files to the page shown (see the .cpp for each tab).
    void OnDropFiles(const QStringList& paths);
    /// Shows the page of the tab now selected and hides the previous one.
    void OnTabSelChange();
    /// The rectangle every page is placed in, in client pixels.
    QRect PageRect() const;

    QTabBar* TabBar() const;
    DialogWindow* Page(int index) const { return m_pages[index]; }
    CTabAES256Dlg* EncryptionPage() const;
    CTabHashDlg* HashPage() const;
    CTabToolsDlg* ToolsPage() const;
    CTabAboutDlg* AboutPage() const;
    int CurrentPage() const { return m_curPage; }

  protected:
    void OnInitDialog() override;
    void OnCancel() override;

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void LayOutTabControl();
    void ShowPage(int index, bool focusPage);

    QIcon m_hIcon;
    std::array<DialogWindow*, kPageCount> m_pages{};
    uint8_t m_curPage = 0;
};

/// The program's icon in all its sizes.
QIcon ProgramIcon();
