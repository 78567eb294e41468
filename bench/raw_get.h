#pragma once
// The floor of one HTTP fetch: a plain blocking socket client that connects to 127.0.0.1,
// writes the request bytes it is given and reads the answer to its Content-Length (or to the
// close), with nothing else around it.

#include <string>
#include <string_view>

namespace tickora::bench {

// The body bytes read; -1 when the connection or the answer failed.
long RawGet(int port, std::string_view request);

// The exact bytes libcurl sends for a FetchBody of http://127.0.0.1:port + pathAndQuery,
// caught by a one-shot listener on 127.0.0.1 (empty when nothing arrived within 5 s).
std::string FetchRequestBytes(int port, const std::string& pathAndQuery);

// The port of an "http://127.0.0.1:PORT..." URL.
int PortOf(std::string_view url);

}  // namespace tickora::bench
