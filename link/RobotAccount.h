// The robot station's Skype account, and the name of our app-to-app application.
#pragma once

inline constexpr char kRobotAccount[] = "orvanta.robot";
inline constexpr char kApplicationName[] = "remotecontrol";
