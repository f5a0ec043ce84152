// conf/central.conf: where this station sends its tests. Text, one
// "key=value" a line (url, station, enabled), written through the store's
// crash-safe writer. A password never goes in it: libpq reads one from
// ~/.pgpass or the connection's service file.
#pragma once

#include <string>

namespace central {

struct CentralSettings {
    std::string url;      // connection string; empty: none
    std::string station;  // this station's name; empty: the host name
    bool enabled = false;
};

std::string CentralSettingsPath(const std::string& folder);

// The settings of a program folder; defaults when the file is missing. False
// with `why` when it exists but cannot be read.
bool ReadCentralSettings(const std::string& folder, CentralSettings& out, std::string& why);
// Checks them (CheckCentralSettings) and writes them whole. False with `why`.
bool WriteCentralSettings(const std::string& folder, const CentralSettings& s, std::string& why);

// Why these settings cannot be used or stored, or empty: a connection string
// that is not one or that carries a password, a station name that is not one
// line of printable text.
std::string CheckCentralSettings(const CentralSettings& s);

// The station name a sync uses: the one given, else the host name.
std::string StationName(const std::string& given);

}  // namespace central
