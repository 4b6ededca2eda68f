// Resource identifiers of the plug-in DLL, shared by the .rc files and the code.
#pragma once

// Dialog templates, the icon and the manifest.
#define IDD_MAIN 101
#define IDI_TESSARO 102
#define IDD_REPORT 116
#define IDD_OUT_TABLE 150
#define IDD_MESSAGES 151
#define IDD_ABOUT 152
#define IDD_ASSAY_LIST 153
#define IDD_MIXTURE_LIST 154
#define IDD_CALC_INFO 155
#define IDD_SETTINGS 156
#define IDD_GRAPH 157
#define IDD_COMPONENTS 158
#define IDR_MANIFEST 2

// Main window (101).
#define IDC_MAIN_LOWER_TABS 1009
#define IDC_MAIN_UPPER_TABS 1013
#define IDC_MAIN_RECALCULATE 1040
#define IDC_MAIN_COMPONENTS 1038
#define IDC_MAIN_SETTINGS 1001
#define IDC_MAIN_REPORT 1024
#define IDM_ABOUT 16  // system-menu command of "Сведения о плагине..."

// Output table page (150) and intermediate results page (155).
#define IDC_TABLE_LIST 1023

// Message log page (151).
#define IDC_LOG_ERRORS 1010
#define IDC_LOG_WARNINGS 1011
#define IDC_LOG_INFO 1014
#define IDC_LOG_TEXT 1015

// About box (152).
#define IDC_ABOUT_ICON 1002
#define IDC_ABOUT_VERSION_LABEL 1003
#define IDC_ABOUT_VERSION 1004
#define IDC_ABOUT_DESCRIPTION 1005
#define IDC_ABOUT_NOTICE 1006
#define IDC_ABOUT_COMPANY 1007
#define IDC_ABOUT_NAME 1008

// Assay list page (153).
#define IDC_ASSAY_LIST 1016
#define IDC_ASSAY_DELETE 1017
#define IDC_ASSAY_OPEN 1018
#define IDC_ASSAY_DELETE_ALL 1019
#define IDC_ASSAY_ADD 1020
#define IDC_ASSAY_FILTER 1021

// Mixture list page (154).
#define IDC_MIXTURE_LIST 1022

// Intermediate results page (155).
#define IDC_CALC_CHANNEL 1025
#define IDC_CALC_CHANNEL_LABEL 1026
#define IDC_CALC_MIXTURE_LABEL 1029
#define IDC_CALC_MIXTURE 1051
// Its column menu: show or hide column (command - IDM_CALC_COLUMN_FIRST).
#define IDM_CALC_COLUMN_FIRST 4024
#define IDM_CALC_COLUMN_LAST 4124

// "Копировать" of a list's context menu: the list goes to the clipboard.
#define IDM_TABLE_COPY 4200

// The in-place editor of a grid cell, a child of the grid's list view.
#define IDC_GRID_EDITOR 9801

// Settings dialog (156).
#define IDC_SET_DIGITS_LABEL 1030
#define IDC_SET_GROUP 1031
#define IDC_SET_DIGITS_PROGRAM 1032
#define IDC_SET_REPORT_LABEL 1033
#define IDC_SET_DIGITS_REPORT 1034
#define IDC_SET_OK 1035
#define IDC_SET_CANCEL 1036
#define IDC_SET_PRESSURE 1058
#define IDC_SET_TEMPERATURE 1059

// Graph page (157).
#define IDC_GRAPH_CHANNEL 1022
#define IDC_GRAPH_COMPONENT_LABEL 1027
#define IDC_GRAPH_CHANNEL_LABEL 1028
#define IDC_GRAPH_CHART 1037
#define IDC_GRAPH_LEVELS 1045
#define IDC_GRAPH_COMPONENT 1057
#define IDC_GRAPH_DEVIATIONS 1070

// Components dialog (158).
#define IDC_COMP_LIST 1039
#define IDC_COMP_OK 1035
#define IDC_COMP_CANCEL 1036

// Report dialog (116).
#define IDC_REP_REPORT 1024
#define IDC_REP_OK 1035
#define IDC_REP_CANCEL 1036
#define IDC_REP_DEVICE_LABEL 1040
#define IDC_REP_OPERATOR_LABEL 1041
#define IDC_REP_DEVICE 1042
#define IDC_REP_OPERATOR 1043
#define IDC_REP_ASSAYS 1046
#define IDC_REP_MIXTURES 1047
#define IDC_REP_MIXTURE_INFO 1048
#define IDC_REP_GROUP 1049
#define IDC_REP_RESULTS 1050
#define IDC_REP_GRAPH 1051

// The string table.
#define IDS_ABOUT_ITEM 4000
#define IDS_ABOUT_CAPTION 4001
#define IDS_TAB_RESULTS 4002
#define IDS_TAB_MIXTURES 4003
#define IDS_TAB_ASSAYS 4004
#define IDS_TAB_MIXTURE_INFO 4005
#define IDS_TAB_ASSAY_INFO 4006
#define IDS_TAB_CALC_INFO 4007
#define IDS_TAB_MESSAGES 4008
#define IDS_ADD 4009
#define IDS_DELETE 4010
#define IDS_DELETE_ALL 4011
#define IDS_OPEN 4012
#define IDS_SETTINGS_BUTTON 4013
#define IDS_REPORT_BUTTON 4014
#define IDS_ALL 4015
#define IDS_ERRORS 4016
#define IDS_WARNINGS 4017
#define IDS_INFORMATION 4018
#define IDS_MIXTURE_LABEL 4019
#define IDS_NO_MESSAGES 4020
#define IDS_SETTINGS_CAPTION 4021
#define IDS_OK 4022
#define IDS_CANCEL 4023
#define IDS_ROUNDING 4024
#define IDS_IN_PROGRAM 4025
#define IDS_IN_REPORT 4026
#define IDS_TAB_GRAPH 4027
#define IDS_COMPONENT_LABEL 4028
#define IDS_COMPONENTS_BUTTON 4029
#define IDS_REPORT_CAPTION 4030
#define IDS_RECALCULATE 4031
#define IDS_PRESSURE_CORRECTION 4032
#define IDS_TEMPERATURE_CORRECTION 4033
#define IDS_DEVICE_NUMBER 4034
#define IDS_OPERATOR 4035
#define IDS_REPORT_CONTENT 4036
#define IDS_REPORT_ASSAYS 4037
#define IDS_REPORT_MIXTURES 4038
#define IDS_REPORT_MIXTURE_INFO 4039
#define IDS_REPORT_RESULTS 4040
#define IDS_CHANNEL_LABEL 4041
#define IDS_GRAPH_DEVIATIONS 4042
// Copying a list: its menu text and the boxes of a failed copy.
#define IDS_COPY 4060
#define IDS_COPY_BUSY 4061
#define IDS_COPY_NO_MEMORY 4062
