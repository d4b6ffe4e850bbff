#pragma once

#include "core/data/datafolder.h"

namespace tarvo {

// Outcome of preparing a data folder for use.
enum class PrepareResult { Ready, Created, MissingDatabase, CannotCreate };

// A folder that does not exist yet is created with an empty database and the
// report templates of the current year; an existing folder must already hold
// Tarvo.mdb.
PrepareResult PrepareDataFolder(const DataFolder& data);

// Writes the four quarter templates of the current year into a new data
// folder, leaving any template already there as it is. False when one could
// not be written.
bool WriteStarterTemplates(const DataFolder& data);

} // namespace tarvo
