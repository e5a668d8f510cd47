#pragma once

#include "RequestLimits.h"

#include <string>
#include <vector>

// How the course server is reached and what it accepts.
struct ServerOptions {
    RequestLimits limits;
    // Host names the server answers to, besides the loopback names; a request naming
    // another host is refused, so no foreign name reaches a launch file.
    std::vector<std::string> names;
    // The address the school publishes (e.g. behind a reverse proxy): launch files point
    // there and its host is accepted. Empty: the scheme served and the request's host.
    std::string publicUrl;
    // A reverse proxy's address: requests from it name their client in X-Forwarded-For.
    std::string trustedProxy;
    // PEM files: both given, the server speaks HTTPS only.
    std::string tlsCert;
    std::string tlsKey;
};
