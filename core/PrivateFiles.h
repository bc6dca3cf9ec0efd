#pragma once
// The data folder holds personal data (SNILS, birth dates): it and everything the program writes
// into it are its user's alone, folders 0700 and files 0600.
class RootPaths;
class QString;

namespace private_files {

// Every file and folder the program makes from now on is its user's alone (the process's umask).
void restrictNewFiles();

// Narrows a root folder made with wider rights (by an earlier version, or by hand): the folder,
// the program's folders in it and their files. Returns one line saying what was done; empty when
// nothing needed narrowing or the folder does not exist yet. Does nothing on Windows, whose
// profile folders are the user's already.
QString narrowRoot(const RootPaths& root);

} // namespace private_files
