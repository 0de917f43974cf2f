// A small dialog for the framework tests: two strings, two integers, a pane
// with a byte limit and a combo box, in that exchange order; it records what
// its overrides saw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/combo_box.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/tests/test_ids.h"

class CExchangeDlg : public CDialog {
public:
    explicit CExchangeDlg(CWnd* parent = nullptr) : CDialog(IDD_EXCHANGE, parent) {}

    std::string m_strName = "name";
    std::int32_t m_nNumber1 = 7;
    std::string m_strWord = "word";
    std::int32_t m_nNumber2 = 8;
    std::string m_strPane;
    CComboBox m_comboList;

    static constexpr int kPaneBytes = 30;

    // What happened, for the tests to check.
    std::vector<WPARAM> keyDownsSeen;         // WM_KEYDOWN keys seen by PreTranslateMessage
    std::vector<WPARAM> sysCommandsTaken;     // WM_SYSCOMMAND 0x0010..0x001F
    std::vector<BOOL> pullResults;            // results of the Pull button's UpdateData(TRUE)
    int initCount = 0;

    void DoDataExchange(CDataExchange& dx) override {
        DDX_Text(dx, IDC_NAME, m_strName);
        DDX_Text(dx, IDC_NUMBER1, m_nNumber1);
        DDX_Text(dx, IDC_WORD, m_strWord);
        DDX_Text(dx, IDC_NUMBER2, m_nNumber2);
        DDX_Text(dx, IDC_PANE, m_strPane);
        DDV_MaxChars(dx, m_strPane, kPaneBytes);
        DDX_Control(dx, IDC_LIST, m_comboList);
    }

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) {
            keyDownsSeen.push_back(msg->wParam);
            if (msg->wParam == VK_F2) return TRUE;  // consumed here
        }
        return CDialog::PreTranslateMessage(msg);
    }

    BOOL OnInitDialog() override {
        ++initCount;
        return CDialog::OnInitDialog();
    }

    MessageMap GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            CommandEntry(IDC_PULL, BN_CLICKED, &CExchangeDlg::OnPull),
            MessageEntry(WM_SYSCOMMAND, &CExchangeDlg::OnSysCommand),
        };
        return entries;
    }

private:
    void OnPull() { pullResults.push_back(UpdateData(TRUE)); }

    LRESULT OnSysCommand(WPARAM command, LPARAM) {
        if ((command & 0xFFF0) == 0x0010) {
            sysCommandsTaken.push_back(command);
        } else {
            Default();
        }
        return 0;
    }
};
