// The commands that work on the document alone: new, show and set.
#pragma once

#include <string>
#include <vector>

#include "arguments.h"
#include "project/project.h"

namespace mornax::batch {

// Applies field=value assignments in order. All or nothing: on the first
// refusal `records` is unchanged and `error` says why.
bool ApplyAssignments(const std::vector<std::string>& assignments, project::Records& records,
                      std::string& error);

// Reads the document into `records` (defaults first). A document that does
// not exist is named with the command that makes one.
bool ReadDocument(const std::string& document, project::Records& records, std::string& error);

int NewDocument(const Invocation& invocation);
int ShowDocument(const Invocation& invocation);
int SetDocumentFields(const Invocation& invocation);

// Prints "mornax-batch: <message>" on standard error.
void ReportError(const std::string& message);

}  // namespace mornax::batch
