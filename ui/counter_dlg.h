// CCounterDlg: the main window (template 102). It owns the counting state,
// exchanges it with its controls (text pane, manual words, 44 count fields),
// runs the four counting actions, sets the leader's caption, copies the
// results line to the clipboard, keeps Enter, Escape and Ctrl+Break from closing
// it, and carries the About item in its system menu.
#pragma once

#include <windows.h>

#include "core/counting.h"
#include "framework/dialog.h"
#include "ui/clipboard_writer.h"

class CCounterDlg : public CDialog {
public:
    explicit CCounterDlg(CWnd* parent = nullptr);

    // The text pane takes at most this many bytes of code page 932.
    static constexpr int kTextLimitBytes = 9'999'999;

    // The counting state as the last exchange left it.
    const quenbol::CountingState& State() const { return m_state; }
    // For tests: the clipboard functions used by the copy button.
    void SetClipboardApi(const ClipboardApi& api) { m_clipboardApi = &api; }

    void DoDataExchange(CDataExchange& dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    MessageMap GetMessageMap() const override;

private:
    void AddAboutItemToSystemMenu();
    void SetInitialContents();
    void ShowTopMessage();

    // Handlers.
    LRESULT OnSysCommand(WPARAM command, LPARAM parameter);
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    void SearchManualOnly();
    void ResetTotals();
    void ClearText();
    void SearchAll();
    void OnKeywordSettings();
    void CopyResultsToClipboard();
    void OnTextChanged();

    quenbol::CountScratch m_scratch;  // kept from search to search of the pane
    quenbol::CountingState m_state;  // text, manual words, 42 member counts, manual pair
    HICON m_hIcon;
    const ClipboardApi* m_clipboardApi;
};
