#pragma once
#include <string>

// "localhost:8080", "map.example.org:8443/tiles?z=3": a host and a port typed
// without a scheme, which a URL parser takes for a scheme ("localhost:") and
// a path. The host must be "localhost" or a name or address with a dot in
// it, so that a real URL such as "tel:12345" is not taken for one.
bool IsHostAndPort(const std::string& text);

// The scheme given to a host typed without one ("example.org",
// "localhost:8080/map"): http:// for this machine's names and for IP
// addresses, where servers rarely have a certificate; https:// for any other.
std::string SchemeForTypedHost(const std::string& text);
