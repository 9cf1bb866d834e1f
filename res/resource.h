// Resource ids of Orvanta. Control ids are fixed: the jog-button ids travel to
// the robot station on the wire.
#pragma once

// Dialogs, strings and icons.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_CONTROL_PANEL 102
#define IDS_SESSIONLOG 103
#define IDR_MAINFRAME 128

// System-menu commands, multiples of 16: the system keeps the low four bits.
#define IDM_ABOUTBOX 0x0010
#define IDM_SESSIONLOG 0x0020

// About box: the version line, filled in from the version block.
#define IDC_ABOUT_VERSION 1100

// Panel: the twelve jog buttons (ids sent to the robot).
#define IDC_BASE_PLUS 1001
#define IDC_BASE_MINUS 1002
#define IDC_SHOULDER_DOWN 1003
#define IDC_SHOULDER_UP 1004
#define IDC_ELBOW_DOWN 1005
#define IDC_ELBOW_UP 1006
#define IDC_WRIST_DOWN 1007
#define IDC_WRIST_UP 1008
#define IDC_WRISTROT_PLUS 1009
#define IDC_WRISTROT_MINUS 1010
#define IDC_HAND_CLOSE 1011
#define IDC_HAND_OPEN 1012

// Panel: link and motion buttons, status.
#define IDC_MOVE_XYZ 1013
#define IDC_CONNECT 1014
#define IDC_DISCONNECT 1015
#define IDC_STATUS 1016

// Panel: read-back and target edits.
#define IDC_X_READ 1017
#define IDC_X_SET 1018
#define IDC_Y_READ 1019
#define IDC_Y_SET 1020
#define IDC_Z_READ 1021
#define IDC_Z_SET 1022
#define IDC_PITCH_READ 1023
#define IDC_PITCH_SET 1024
#define IDC_ROLL_READ 1025
#define IDC_ROLL_SET 1026
#define IDC_CALIBRATE 1027
#define IDC_HAND_READ 1028
#define IDC_GOTO_HOME 1029
#define IDC_HAND_SET 1030
#define IDC_ROBOT_MESSAGE 1031
#define IDC_SPEED 1032

// Panel: trajectory controls.
#define IDC_ADD 1033
#define IDC_DEL 1034
#define IDC_STEP 1035
#define IDC_CHG 1036
#define IDC_LOAD 1037
#define IDC_SAVE 1038
#define IDC_RUN 1039
#define IDC_NOTE 1040
#define IDC_STEP_LIST 1041

// Panel: presentation.
#define IDC_ON_TOP 1042
#define IDC_REC 1043
#define IDC_BACKWARD 1044
#define IDC_MORE 1045
#define IDC_ABOUT 1046

// The framework's string of the program's name.
#define IDS_APP_TITLE 0xE000

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
