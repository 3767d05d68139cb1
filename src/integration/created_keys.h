#pragma once

#include <windows.h>

#include "platform/registry.h"

// Keys outside the product key that setup creates only to hold its own
// entries: a "shellex\DragDropHandlers" key a system did not have, an App
// Paths key missing from a young system. Setup notes each key that one of
// its writes is about to create; removal deletes a noted key once it is
// empty again. A key that was there before setup is never noted, so never
// removed, and a later setup that finds the key adds no note and keeps the
// first one. The notes lie under "Setup\CreatedKeys" with the other settings
// and go with them.

// The keys of a path that are missing now, found before the write that may
// create them.
class NewKeys {
public:
    NewKeys(HKEY root, const char* path, RegView view);
    NewKeys(const NewKeys&) = delete;
    NewKeys& operator=(const NewKeys&) = delete;

    // Notes them as setup's own; called once the write has succeeded.
    void Note();

private:
    HKEY root_;
    RegView view_;
    char path_[kKeyPathSize];
    // How many leading components of the path existed; -1 when the path was
    // refused.
    int existing_;
};

// RegWriteString that notes the keys it created, in the view that key
// creations go to now.
LONG WriteStringNotingKeys(HKEY root, const char* path, const char* name, const char* text);

// Once removal has deleted its entries at `path`: deletes the key and its
// parents, deepest first, that setup noted and that are empty now, and
// forgets the notes of those that are gone. Stops at the first key that is
// there and either was not noted or still holds an entry.
void RemoveCreatedKeys(HKEY root, const char* path, RegView view = OwnView);
