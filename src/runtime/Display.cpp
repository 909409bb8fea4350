#include "runtime/Display.hpp"

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

const char* const noDisplayMessage =
    "No X display: DISPLAY is not set or its server cannot be reached. Run the demo in a graphical "
    "session, or under xvfb-run -a -s \"-screen 0 1920x1080x24 -noreset\". To watch it without a screen, "
    "render it to a video: xvfb-run -a -s \"-screen 0 1920x1080x24 -noreset\" build/flumbadoo-capture "
    "--video demo.mp4 (README.md, \"Render to video\").";

namespace
{
/// Connects to the Unix socket at path (abstract when it starts with a NUL byte).
bool socketAccepts(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() > sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // The connection is closed before the X handshake, so the server never counts it as a
    // client: it cannot make a server reset that waits for its last client to leave.
    const bool connected =
        connect(fd, reinterpret_cast<const sockaddr*>(&address),
                static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size())) == 0;
    close(fd);
    return connected;
}
} // namespace

bool displayReachable(const char* displayName)
{
    if (!displayName || !*displayName)
        return false;
    const std::string name = displayName;
    const std::size_t colon = name.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string host = name.substr(0, colon);
    std::size_t end = colon + 1;
    while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end])))
        ++end;
    const std::string number = name.substr(colon + 1, end - colon - 1);
    if (number.empty())
        return false;
    if (!host.empty() && host != "unix")
        return true;
    const std::string path = "/tmp/.X11-unix/X" + number;
    // Linux X servers listen on an abstract socket and on the file; either will do.
    return socketAccepts(std::string(1, '\0') + path) || socketAccepts(path);
}

bool checkDisplay(const char* message)
{
    if (displayReachable(std::getenv("DISPLAY")))
        return true;
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
    return false;
}
