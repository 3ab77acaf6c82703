#pragma once

// The temporary file an output is written to before it gets its final name.
// The name (see PartFile.h) is short whatever the final name's length, made
// exclusively so that two jobs never share it, and locked while the job
// lives, so that the window program can tell the leftovers of a killed
// encoder from a running one's. Unless kept, it is removed when its owner
// goes: a stopped, failed or killed job never leaves a file that looks
// finished. It is removed from the folder it was made in, through a handle
// on that folder, even when the folder has been moved meanwhile.

#include <string>

namespace morlenc {

class PartialFile {
public:
    // Creates the file in the folder of `output`. Throws Failure with
    // ENC_FAIL_OPEN_OUTPUT.
    explicit PartialFile(const std::string &output);
    ~PartialFile();

    PartialFile(const PartialFile &) = delete;
    PartialFile &operator=(const PartialFile &) = delete;

    const std::string &Path() const { return m_path; }

    // Throws Failure(ENC_FAIL_FOLDER_GONE) when the file is no longer in
    // its folder, or that folder no longer at its path: removed, moved, or
    // its disk unplugged. Writing would go on into nowhere.
    void CheckInPlace() const;

    // The file has its final name now: nothing is to be removed.
    void Keep() { m_kept = true; }

private:
    std::string m_folder;  // as given, "." for the current one
    std::string m_name;
    std::string m_path;
    int m_folderFd = -1;
    int m_fd = -1;  // holds the file's lock
    bool m_kept = false;
};

} // namespace morlenc
