#pragma once
// What a document reads and writes its file through. The documents use the disk; a test
// can put in a layer of its own, for instance one that gives back other bytes than were
// written, to see that a save checks what it wrote. Plain C++.

#include "FileSystem.h"

#include <string>

class FileLayer
{
public:
    struct Contents
    {
        std::u16string units; // the file's raw UTF-16LE text, an odd last byte as a unit
        bool oddLength = false;
        fsys::Identity identity; // which file was read
    };

    virtual ~FileLayer() = default;
    // Raises RunTimeError as docfile::ReadConfigFile does; a path naming nothing is empty.
    virtual Contents Read(const std::u16string &path) = 0;
    // Makes the file hold exactly `units`, two bytes each; raises RunTimeError on failure.
    virtual void Write(const std::u16string &path, const std::u16string &units) = 0;
};

// The disk, through docfile::ReadConfigFile and WriteUnicodeFile.
FileLayer &DiskFileLayer();
