// Identifiers of the test's own resources.
#pragma once

#define IDD_TEST        100
#define IDC_TEST_EDIT   1001
#define IDC_TEST_LABEL  1002
#define IDC_TEST_CHECK  1003
#define IDC_TEST_COMBO  1004
#define IDC_TEST_BAR    1005
#define IDC_TEST_ACT    1006
#define IDC_TEST_COUNT  1007

#define IDS_TEST_INSERTS 10
#define IDS_TEST_LONG    11
