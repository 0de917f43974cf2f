// Identifiers of the framework tests' own dialog templates.
#pragma once

#define IDD_EXCHANGE 200
#define IDD_BOX 202

#define IDC_NAME 301
#define IDC_NUMBER1 302
#define IDC_WORD 303
#define IDC_NUMBER2 304
#define IDC_PANE 305
#define IDC_LIST 306
#define IDC_PULL 307
