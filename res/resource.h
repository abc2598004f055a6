// Resource numbers shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TESTER_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_LOGO 130

#define IDC_LOGO 1085

// The About item of the system menu; system commands keep their low four bits clear.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
