#pragma once
// The secondary files (.ndf) of a database: found from the file list, or by looking
// at the primary file's folder when there is no list; their pages join the primary
// file's page maps.

#include <string>
#include <vector>

#include "storage/DatabaseFile.h"
#include "storage/FileRow.h"

namespace orodorev {

// Completes the file list (sizes, page counts, data offsets, paths in the primary
// file's folder), fills the file's secondaryFileMap and maps the secondary pages.
void discoverSecondaryFiles(DatabaseFile& file, std::vector<FileRow>& fileList,
                            const std::string& primaryPath);

// Where a file of the list is looked for: the primary file's folder, the name's
// extension replaced by .ndf.
std::string secondaryFilePath(const std::string& folder, const std::string& physicalName);

// The primary path's folder, with its trailing separator.
std::string folderOf(const std::string& path);

}  // namespace orodorev
