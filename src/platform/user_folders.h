#pragma once

#include <string>

namespace telpod::platform {

// Where the program keeps what belongs to the user. A program folder the user
// may write (a build folder, a copied folder) holds config.dat itself; an
// installed one, owned by the system, sends it to the user's configuration
// folder instead, so every user keeps rows of their own.

// True when `folder` exists and the user may create files in it. The
// superuser passes every permission check, so for it a folder marked
// read-only for everybody still counts as read-only.
bool FolderWritable(const std::string& folder);

// The user's home folder: $HOME, else the account's entry; "" when neither.
std::string HomeFolder();

// $XDG_CONFIG_HOME/telpod, or ~/.config/telpod when that is unset, empty or
// relative; "" without a home folder. Not created here.
std::string ConfigurationFolder();

// The folder of config.dat: the program folder while the user may write it,
// otherwise the configuration folder.
std::string SettingsFolder();

// Makes the configuration folder when config.dat goes there and it is
// missing; true when the settings folder exists afterwards. A program folder
// that has vanished is never made again.
bool MakeSettingsFolder();

// The folder the import and export dialogs open first: the program folder
// while the user may write it, otherwise the home folder.
std::string DefaultFileFolder();

// `folder` while it exists, else DefaultFileFolder(): where an export whose
// folder has gone writes instead.
std::string ExistingFolderOrDefault(const std::string& folder);

}  // namespace telpod::platform
