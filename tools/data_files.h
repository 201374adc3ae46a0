#pragma once
// The data the host ships (installed under share/paloran: lua/ filters,
// demo.srp): a name that is no file as given is looked up there.
#include <string>

namespace plr::host {

// The shipped-data directory: $PALORAN_DATA_DIR when set, else
// share/paloran beside the folder the running program lies in
// (<prefix>/bin/paloran -> <prefix>/share/paloran); empty when unknown.
std::string dataDirectory();

// `given` itself when it names a file; else `folder`/`given` under the data
// directory when that exists; else `given` unchanged (its error then names it).
std::string findDataFile(const std::string& given, const char* folder);

}  // namespace plr::host
