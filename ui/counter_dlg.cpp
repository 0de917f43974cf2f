// CCounterDlg: the main window.
#include "ui/counter_dlg.h"

#include "core/results_line.h"
#include "core/top_member.h"
#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/edit_filter.h"
#include "framework/paint_dc.h"
#include "framework/text.h"
#include "res/resource.h"
#include "settings/keyword_dlg.h"
#include "ui/about_dlg.h"
#include "ui/member_rows.h"
#include "ui/minimised_icon.h"
#include "ui/text_pane.h"

using quenbol::kMemberRows;
using quenbol::MemberIndex;

namespace {

// The order in which the members' count fields are exchanged, after the
// text and manual words 1 to 3. Members 17 and 18 swap places between the
// two lists; member 20's pair comes at the very end (total first).
constexpr MemberIndex kCurrentExchangeOrder[] = {0, 9, 10, 11, 12, 13, 14, 15, 16, 18, 17, 1, 19, 2, 3, 4, 5, 6, 7, 8};
constexpr MemberIndex kTotalExchangeOrder[] = {0, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 1, 19, 2, 3, 4, 5, 6, 7, 8};
constexpr MemberIndex kLastMember = 20;

}  // namespace

CCounterDlg::CCounterDlg(CWnd* parent)
    : CDialog(IDD_QUENBOL_DIALOG, parent),
      m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_clipboardApi(&SystemClipboardApi()) {
    m_scratch.SetKeepsLargeTexts(true);
}

MessageMap CCounterDlg::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MessageEntry(WM_SYSCOMMAND, &CCounterDlg::OnSysCommand),
        MessageEntry(WM_PAINT, &CCounterDlg::OnPaint),
        MessageEntry(WM_QUERYDRAGICON, &CCounterDlg::OnQueryDragIcon),
        CommandEntry(IDC_SEARCH_MANUAL_ONLY, BN_CLICKED, &CCounterDlg::SearchManualOnly),
        CommandEntry(IDC_RESET_TOTALS, BN_CLICKED, &CCounterDlg::ResetTotals),
        CommandEntry(IDC_CLEAR_TEXT, BN_CLICKED, &CCounterDlg::ClearText),
        CommandEntry(IDC_SEARCH_ALL, BN_CLICKED, &CCounterDlg::SearchAll),
        CommandEntry(IDC_KEYWORD_SETTINGS, BN_CLICKED, &CCounterDlg::OnKeywordSettings),
        CommandEntry(IDC_COPY_RESULTS, BN_CLICKED, &CCounterDlg::CopyResultsToClipboard),
        CommandEntry(IDC_TEXT, EN_CHANGE, &CCounterDlg::OnTextChanged),
    };
    return entries;
}

void CCounterDlg::DoDataExchange(CDataExchange& dx) {
    quenbol::ManualWordList& words = m_state.manualWords;
    DDX_TextPane(dx, IDC_TEXT, m_state.text, kTextLimitBytes);
    DDX_Text(dx, IDC_MANUAL_WORD1, words[0]);
    DDX_Text(dx, IDC_MANUAL_WORD2, words[1]);
    DDX_Text(dx, IDC_MANUAL_WORD3, words[2]);
    for (MemberIndex m : kCurrentExchangeOrder) DDX_Text(dx, kMemberRows[m].current, m_state.current[m]);
    for (MemberIndex m : kTotalExchangeOrder) DDX_Text(dx, kMemberRows[m].total, m_state.total[m]);
    DDX_Text(dx, IDC_MANUAL_WORD4, words[3]);
    DDX_Text(dx, IDC_MANUAL_WORD5, words[4]);
    DDX_Text(dx, IDC_MANUAL_CURRENT, m_state.manualCurrent);
    DDX_Text(dx, IDC_MANUAL_TOTAL, m_state.manualTotal);
    DDX_Text(dx, IDC_MANUAL_WORD6, words[5]);
    DDX_Text(dx, IDC_MANUAL_WORD7, words[6]);
    DDX_Text(dx, kMemberRows[kLastMember].total, m_state.total[kLastMember]);
    DDX_Text(dx, kMemberRows[kLastMember].current, m_state.current[kLastMember]);
}

BOOL CCounterDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutItemToSystemMenu();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    // A manual word holds only characters with a code page 932 form: one
    // without would become a NUL byte and silently change the word.
    for (int id : {IDC_MANUAL_WORD1, IDC_MANUAL_WORD2, IDC_MANUAL_WORD3, IDC_MANUAL_WORD4, IDC_MANUAL_WORD5,
                   IDC_MANUAL_WORD6, IDC_MANUAL_WORD7}) {
        RefuseTextWithoutCp932Form(GetDlgItem(id));
    }
    SetInitialContents();
    UpdateData(FALSE);
    return TRUE;  // the dialog manager focuses the first tab stop, manual word 1
}

void CCounterDlg::AddAboutItemToSystemMenu() {
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    if (!menu) return;
    wchar_t text[256] = {};
    if (LoadStringW(AfxGetResourceHandle(), IDS_ABOUTBOX, text, 256) <= 0) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void CCounterDlg::SetInitialContents() {
    // The labels are written once, straight into the controls.
    for (MemberIndex m = 0; m < quenbol::kMemberCount; ++m) {
        SetDlgItemTextW(m_hWnd, kMemberRows[m].label, quenbol::ToWide(quenbol::DisplayName(m)).c_str());
    }
    m_state.text = quenbol::InitialPrompt;
    m_state.manualWords = quenbol::InitialManualWords();
    quenbol::LoadDefaultKeywords();
}

BOOL CCounterDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        // Enter makes a new line in the text pane and does nothing anywhere
        // else; Escape and Ctrl+Break (VK_CANCEL, which the dialog manager
        // takes for Escape) do nothing: none of them may end the window.
        if (msg->wParam == VK_RETURN) {
            HWND focus = GetFocus();
            if (!focus || focus != GetDlgItem(IDC_TEXT)) return TRUE;
        } else if (msg->wParam == VK_ESCAPE || msg->wParam == VK_CANCEL) {
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CCounterDlg::OnSysCommand(WPARAM command, LPARAM) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        Default();  // the system's own commands: move, minimise, close, ...
    }
    return 0;
}

void CCounterDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const quenbol::IconOrigin at =
        quenbol::CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc.GetSafeHdc(), at.x, at.y, m_hIcon);
}

LRESULT CCounterDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

// The four counting actions pull the controls, act, and push everything
// back. A pull that stops at a field without a number still lets the action
// run with what was read.
void CCounterDlg::SearchManualOnly() {
    UpdateData(TRUE);
    quenbol::SearchManualOnly(m_state);
    UpdateData(FALSE);
}

void CCounterDlg::ResetTotals() {
    UpdateData(TRUE);
    quenbol::ResetTotals(m_state);
    UpdateData(FALSE);
}

void CCounterDlg::ClearText() {
    UpdateData(TRUE);
    quenbol::ClearText(m_state);
    UpdateData(FALSE);
}

void CCounterDlg::SearchAll() {
    UpdateData(TRUE);
    quenbol::SearchAll(m_state, quenbol::KeywordTable, nullptr, &m_scratch);
    ShowTopMessage();
    UpdateData(FALSE);
}

// A long text has come in (a paste, say): the counting memory and thread
// are readied now, while the user moves to 全検索, not in the first search.
void CCounterDlg::OnTextChanged() {
    try {
        // At most two bytes per unit, as the pane's limit counts.
        m_scratch.Prepare(2 * static_cast<std::size_t>(GetWindowTextLengthW(GetDlgItem(IDC_TEXT))));
    } catch (...) {  // the search readies them itself, and says so if it cannot
    }
}

void CCounterDlg::ShowTopMessage() {
    SetWindowText(std::string_view(quenbol::CaptionFor(quenbol::FindTopMember(m_state.current))));
}

void CCounterDlg::OnKeywordSettings() {
    // Neither pulls nor pushes: the counts on show stay until the next
    // search, which reads the edited table.
    CKeywordDlg dlg;
    dlg.DoModal();
}

// The counts as they stand, without reading the controls first.
void CCounterDlg::CopyResultsToClipboard() {
    WindowsClipboard clipboard(m_hWnd, *m_clipboardApi);
    quenbol::CopyResultsToClipboard(m_state.current, clipboard);
}
