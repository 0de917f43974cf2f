// CKeywordDlg: the modal dialog in which the keyword table is edited one
// member at a time. The member list picks the member; seven fields show its
// seven slots. The fields are stored into the table when another member is
// picked, before a save, and when "戻る" closes the dialog; a reset or a
// successful load replaces the whole table and shows member 0.
#pragma once

#include <string>

#include "core/roster.h"
#include "framework/combo_box.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"

class CKeywordDlg : public CDialog {
public:
    explicit CKeywordDlg(CWnd* parent = nullptr);
    ~CKeywordDlg() override;

    // The member whose slots the fields show: 0 to 20 while the dialog is open.
    int m_nCurMember = 0;
    CComboBox m_comboMember;
    // The contents of fields 1016 to 1022: slot s in m_strKeyword[s].
    std::string m_strKeyword[quenbol::kSlotsPerMember];

    // Puts member k's seven slots into the fields.
    void ShowMemberKeywords(quenbol::MemberIndex k);
    // Stores the seven fields, as typed, into member k's slots.
    void CommitMemberKeywords(quenbol::MemberIndex k);

protected:
    MessageMap GetMessageMap() const override;
    void DoDataExchange(CDataExchange& dx) override;
    // Enter, Escape and Ctrl+Break are discarded wherever the focus is: the
    // dialog closes only by "戻る".
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    // "戻る": stores the fields, then closes.
    void OnOK() override;

    void OnSelchangeMember();
    void OnResetDefaults();
    void OnSaveKeywordFile();
    void OnLoadKeywordFile();

private:
    // Selects and shows member 0 (after the table was replaced).
    void ShowFirstMember();
};
