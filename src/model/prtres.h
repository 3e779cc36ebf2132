// The resource table: named, numbered data blocks in file order. Filled from a
// driver data file for a model, or at run time as a cache of loaded strings.
#pragma once

#include "../foundation/compat.h"
#include "../foundation/memory.h"
#include "../foundation/olist.h"
#include "../foundation/ostring.h"

#include <cstddef>

class prtfile;

// Where records come from: an open file or a block of bytes.
class res_source {
public:
    virtual ~res_source() {}
    // Bytes actually delivered (0 at the end or on failure).
    virtual LONG read(unsigned char *buf, LONG n) = 0;
    // Bytes still to come, or -1 when unknown.
    virtual int64_t remaining() const = 0;
};

class res_node : public ONode {
public:
    // Copies the name and size bytes of data; the data pointer stays null when
    // that copy cannot be allocated.
    res_node(const char *name, LONG id, LONG size, const unsigned char *data);
    ~res_node() override;

    const char *GetName() const { return name_.nstring(); }
    LONG GetID() const { return id_; }
    LONG GetSize() const { return size_; }
    unsigned char *GetData() const { return data_.get(); }

private:
    OString name_;
    LONG id_;
    LONG size_;
    MemBlock<unsigned char> data_;
};

class prtres : public OList {
public:
    prtres() {}
    ~prtres() override {}

    // Appends every record of the named file in the driver directory. False only
    // when the file cannot be opened (the table is then unchanged).
    bool Load(const char *file_name);
    // The same reader for a full path, and for bytes already in memory.
    bool LoadPath(const WCHAR *path);
    bool LoadBytes(const unsigned char *bytes, size_t n);

    // First node in table order with that id (and name under ASCII case folding).
    res_node *Find(LONG id) const;
    res_node *Find(const char *name, LONG id) const;
    // Appends a copy; null (nothing added) when the node or its data cannot be allocated.
    res_node *Add(const char *name, LONG id, LONG size, const unsigned char *data);

private:
    void load_from(res_source &src);
    // One whole, well-formed record in a fresh MEMALLOC block; null at the end of
    // the sequence, at a truncated or malformed record, or when allocation fails.
    MemBlock<unsigned char> ReadNextResource(res_source &src);
};
