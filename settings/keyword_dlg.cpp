// The keyword settings dialog.
#include "settings/keyword_dlg.h"

#include "framework/edit_filter.h"
#include "res/resource.h"
#include "settings/keyword_file_commands.h"

using namespace quenbol;

CKeywordDlg::CKeywordDlg(CWnd* parent) : CDialog(IDD_KEYWORD_DIALOG, parent) {}

CKeywordDlg::~CKeywordDlg() = default;

MessageMap CKeywordDlg::GetMessageMap() const {
    // IDOK reaches OnOK through the dialog base.
    static const MessageMapEntry entries[] = {
        CommandEntry(IDC_RESET_DEFAULTS, BN_CLICKED, &CKeywordDlg::OnResetDefaults),
        CommandEntry(IDC_SAVE_KEYWORD_FILE, BN_CLICKED, &CKeywordDlg::OnSaveKeywordFile),
        CommandEntry(IDC_LOAD_KEYWORD_FILE, BN_CLICKED, &CKeywordDlg::OnLoadKeywordFile),
        CommandEntry(IDC_MEMBER_LIST, CBN_SELCHANGE, &CKeywordDlg::OnSelchangeMember),
    };
    return entries;
}

void CKeywordDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_MEMBER_LIST, m_comboMember);
    for (int s = 0; s < kSlotsPerMember; ++s) DDX_Text(dx, IDC_KEYWORD_SLOT0 + s, m_strKeyword[s]);
}

BOOL CKeywordDlg::PreTranslateMessage(MSG* msg) {
    // Ctrl+Break (VK_CANCEL) would cancel like Escape.
    if (msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_CANCEL)) {
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

BOOL CKeywordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // A keyword holds only characters with a code page 932 form, so that it is
    // written to a file exactly (one without would become a NUL byte).
    for (int s = 0; s < kSlotsPerMember; ++s) RefuseTextWithoutCp932Form(GetDlgItem(IDC_KEYWORD_SLOT0 + s));
    m_comboMember.ResetContent();
    // Unsorted: list index and member index agree. The fixed names, not the
    // slot-0 entries as they stand.
    for (MemberIndex m = 0; m < kMemberCount; ++m) m_comboMember.AddString(DisplayName(m));
    ShowFirstMember();
    return TRUE;  // the focus goes to the first tab stop, "戻る"
}

void CKeywordDlg::ShowMemberKeywords(MemberIndex k) {
    for (int s = 0; s < kSlotsPerMember; ++s) m_strKeyword[s] = KeywordTable[EntryIndex(k, s)];
    UpdateData(FALSE);
}

void CKeywordDlg::CommitMemberKeywords(MemberIndex k) {
    UpdateData(TRUE);  // no field has a rule that could fail
    for (int s = 0; s < kSlotsPerMember; ++s) KeywordTable[EntryIndex(k, s)] = m_strKeyword[s];
}

void CKeywordDlg::ShowFirstMember() {
    m_nCurMember = 0;
    m_comboMember.SetCurSel(0);
    ShowMemberKeywords(0);
}

void CKeywordDlg::OnSelchangeMember() {
    CommitMemberKeywords(m_nCurMember);
    // A notification without a selection (none can come from a user's pick)
    // keeps the member on show rather than index past the table.
    const int picked = m_comboMember.GetCurSel();
    if (picked >= 0 && picked < kMemberCount) m_nCurMember = picked;
    m_comboMember.SetCurSel(m_nCurMember);
    ShowMemberKeywords(m_nCurMember);
}

void CKeywordDlg::OnResetDefaults() {
    LoadDefaultKeywords();  // what was typed since the last commit is dropped
    ShowFirstMember();
}

void CKeywordDlg::OnSaveKeywordFile() {
    CommitMemberKeywords(m_nCurMember);  // stored even when the save is cancelled
    SaveKeywordFile();
}

void CKeywordDlg::OnLoadKeywordFile() {
    // The fields are not stored first: a load that replaces the table drops
    // them, and any other outcome leaves them on show for the next commit.
    if (LoadKeywordFile()) ShowFirstMember();
}

void CKeywordDlg::OnOK() {
    CommitMemberKeywords(m_nCurMember);
    CDialog::OnOK();
}
