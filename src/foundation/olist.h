// Intrusive doubly linked list; a list owns its nodes and deletes them.
#pragma once

class OList;

class ONode {
public:
    ONode() : next_(nullptr), prev_(nullptr), owner_(nullptr) {}
    virtual ~ONode() {} // destroying a node does not unlink it
    ONode(const ONode &) = delete;
    ONode &operator=(const ONode &) = delete;

    ONode *GetNext() const { return next_; }
    ONode *GetPrev() const { return prev_; }
    OList *GetOwner() const { return owner_; }
    void Remove();
    // Inserts n right before this node, in this node's list.
    bool SetPrev(ONode *n);

protected:
    friend class OList;
    ONode *next_;
    ONode *prev_;
    OList *owner_;
};

class OList : public ONode {
public:
    OList() {}
    ~OList() override { Clear(); }

    void init() { next_ = prev_ = nullptr; }
    ONode *GetHead() const { return next_; }
    ONode *GetTail() const { return prev_; }
    bool AddHead(ONode *n);
    bool AddTail(ONode *n);
    void Clear();
    long Count() const;

private:
    friend class ONode;
};
