// The names this installer is built for.  Everything the user reads is
// composed from these.  Inline, so that every file uses one copy of each.
#pragma once

inline constexpr char InstallerName[] = "Kestrova";
inline constexpr char ProductName[] = "Quorvik";
inline constexpr char ProductVersion[] = "3.02";
// The same version as the numbers inventory tools read from the entry.
constexpr unsigned long ProductVersionMajor = 3;
constexpr unsigned long ProductVersionMinor = 2;
inline constexpr char ProductTagline[] = "Zintaro!";
inline constexpr char MakerName[] = "Halvenor";
inline constexpr char SupportAddress[] = "support@halvenor.com";
