// Log lines for values a scene file gets wrong. A player or a maintainer
// reading the log must find the record at once: every line names the file
// being loaded, the node and the attribute, then what was done instead.
#pragma once

#include <string>

class CKEMVarList;

namespace KEMSceneLog {

// The scene file a load is reading, for the time the guard lives. Nested
// loads keep the outer file when they end.
class FileGuard {
public:
    explicit FileGuard(const char* path);
    ~FileGuard();
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;

private:
    std::string mPrevious;
};

// The file being loaded; "scene" outside a load (a node set up by code).
const char* File();

// "<file>: node \"<node>\" <attribute>: <what>", e.g.
// la_ciotat.xml: node "CameraLancer" CKEMSCENECAMERA_MFOV: 1e-38 refused; 0.785 kept
void Value(const std::string& node, const char* attribute, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// "<file>: <record> <attribute>: <what>", for records that are no node
// (the physics settings, a record whose node is not known yet).
void Record(const std::string& record, const char* attribute, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The attribute of record `index` (0 for the first "listName" element of
// ROOT) that `list` cannot read, or "" when every one reads. The list's
// members take what is read: ask only about an object a failed load throws away.
std::string UnreadableAttribute(CKEMVarList& list, const char* text, const char* listName, size_t index);

}  // namespace KEMSceneLog
