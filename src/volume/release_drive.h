// release_drive.h - the sefra drive named in g_szDriveLetter: its record,
// made before OpenSefra labels and links it, and its release by the sites
// that close an open sefra.
#pragma once

#include <string>

// Records drive letter, linked to the sefra folder target of the store
// volume (LinkDrive's arguments) and labelled, as the sefra drive
// (held_records.h). Callers hold g_MountVolumeLock.
void RecordSefraDrive(char letter, const std::string &volumePath, const std::string &devicePath,
                      const std::string &target);

// Nothing when g_szDriveLetter does not begin with a letter. Otherwise the
// link goes (DefineDosDeviceA removal on the XP family, else the driver's
// "\DosDevices\X:" unlink, which alone tells the shell nothing, so the shell
// is told the drive left), its label key is deleted, g_szDriveLetter is
// zeroed and the drive's record forgotten. Results are not checked. Callers
// hold g_MountVolumeLock.
void ReleaseSefraDrive();
