// release_drive.h - ReleaseSefraDrive: removal of the sefra drive named in
// g_szDriveLetter, for the sites that close an open sefra.
#pragma once

// Nothing when g_szDriveLetter does not begin with a letter. Otherwise the
// link goes (DefineDosDeviceA removal on the XP family, else the driver's
// "\DosDevices\X:" unlink, which alone tells the shell nothing, so the shell
// is told the drive left), its label key is deleted and g_szDriveLetter is
// zeroed. Results are not checked. Callers hold g_MountVolumeLock.
void ReleaseSefraDrive();
