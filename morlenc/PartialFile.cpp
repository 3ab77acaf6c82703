#include "morlenc/PartialFile.h"

#include "morlenc/Arguments.h"
#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"
#include "platform/PartFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morlenc {

PartialFile::PartialFile(const std::string &output)
{
    const std::string::size_type slash = output.rfind('/');
    m_folder = slash == std::string::npos ? std::string(".") : output.substr(0, slash + 1);
    m_folderFd = ::open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        throw SystemFailure(ENC_FAIL_OPEN_OUTPUT, "cannot open the folder of " + Quoted(output), errno);
    const std::string prefix = slash == std::string::npos ? std::string() : m_folder;
    // A name taken means a file an earlier process of the same number left.
    for (int n = 0; n < 1000; ++n) {
        const std::string name = PartFile::Name(PartFile::HostId(), ::getpid(), n);
        m_fd = ::openat(m_folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_name = name;
            m_path = prefix + name;
            // Where the file system honours no locks the file simply stays
            // unlocked: nobody will ever judge it abandoned then.
            PartFile::TryLock(m_fd);
            return;
        }
        if (errno != EEXIST) {
            const int error = errno;
            ::close(m_folderFd);
            throw SystemFailure(ENC_FAIL_OPEN_OUTPUT, "cannot create " + Quoted(prefix + name), error);
        }
    }
    ::close(m_folderFd);
    throw Failure{ENC_FAIL_OPEN_OUTPUT, "no free temporary name beside " + Quoted(output)};
}

PartialFile::~PartialFile()
{
    // Removed while still locked, so nobody takes it for abandoned meanwhile.
    if (!m_kept)
        ::unlinkat(m_folderFd, m_name.c_str(), 0);
    ::close(m_fd);
    ::close(m_folderFd);
}

void PartialFile::CheckInPlace() const
{
    const std::string gone = "the folder of " + Quoted(m_path) + " is gone";
    struct stat file = {};
    struct stat listed = {};
    struct stat folder = {};
    struct stat atPath = {};
    if (::fstat(m_fd, &file) != 0 || ::fstat(m_folderFd, &folder) != 0)
        throw SystemFailure(ENC_FAIL_FOLDER_GONE, gone, errno);
    if (::stat(m_folder.c_str(), &atPath) != 0)
        throw SystemFailure(ENC_FAIL_FOLDER_GONE, gone, errno);
    if (::fstatat(m_folderFd, m_name.c_str(), &listed, AT_SYMLINK_NOFOLLOW) != 0)
        throw SystemFailure(ENC_FAIL_FOLDER_GONE, gone, errno);
    if (file.st_nlink == 0 || listed.st_ino != file.st_ino || listed.st_dev != file.st_dev
        || atPath.st_ino != folder.st_ino || atPath.st_dev != folder.st_dev)
        throw Failure{ENC_FAIL_FOLDER_GONE, gone};
}

} // namespace morlenc
