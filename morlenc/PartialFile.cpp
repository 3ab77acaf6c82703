#include "morlenc/PartialFile.h"

#include "morlenc/Arguments.h"
#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"
#include "platform/PartFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace morlenc {

PartialFile::PartialFile(const std::string &output)
{
    const std::string::size_type slash = output.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : output.substr(0, slash + 1);
    // A name taken means a file an earlier process of the same number left.
    for (int n = 0; n < 1000; ++n) {
        const std::string path = folder + PartFile::Name(PartFile::HostId(), ::getpid(), n);
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_path = path;
            // Where the file system honours no locks the file simply stays
            // unlocked: nobody will ever judge it abandoned then.
            PartFile::TryLock(m_fd);
            return;
        }
        if (errno != EEXIST)
            throw Failure{ENC_FAIL_OPEN_OUTPUT, "cannot create " + Quoted(path) + ": " + std::strerror(errno)};
    }
    throw Failure{ENC_FAIL_OPEN_OUTPUT, "no free temporary name beside " + Quoted(output)};
}

PartialFile::~PartialFile()
{
    // Removed while still locked, so nobody takes it for abandoned meanwhile.
    if (!m_kept)
        std::remove(m_path.c_str());
    ::close(m_fd);
}

} // namespace morlenc
