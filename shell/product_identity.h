// The names this installer is built for.  Everything the user reads is
// composed from these.
#pragma once

constexpr char InstallerName[] = "Kestrova";
constexpr char ProductName[] = "Quorvik";
constexpr char ProductVersion[] = "3.02";
// The same version as the numbers inventory tools read from the entry.
constexpr unsigned long ProductVersionMajor = 3;
constexpr unsigned long ProductVersionMinor = 2;
constexpr char ProductTagline[] = "Zintaro!";
constexpr char MakerName[] = "Halvenor";
constexpr char SupportAddress[] = "support@halvenor.com";
