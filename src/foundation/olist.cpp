#include "olist.h"

void ONode::Remove() {
    if (owner_) {
        if (owner_->next_ == this)
            owner_->next_ = next_;
        if (owner_->prev_ == this)
            owner_->prev_ = prev_;
    }
    if (next_)
        next_->prev_ = prev_;
    if (prev_)
        prev_->next_ = next_;
    next_ = prev_ = nullptr;
}

bool ONode::SetPrev(ONode *n) {
    if (!owner_ || !n)
        return false;
    if (owner_->next_ == this)
        return owner_->AddHead(n);
    n->owner_ = owner_;
    n->prev_ = prev_;
    n->next_ = this;
    if (prev_)
        prev_->next_ = n;
    prev_ = n;
    return true;
}

bool OList::AddHead(ONode *n) {
    if (!n)
        return false;
    n->owner_ = this;
    n->prev_ = nullptr;
    n->next_ = next_;
    if (next_)
        next_->prev_ = n;
    next_ = n;
    if (!prev_)
        prev_ = n;
    return true;
}

bool OList::AddTail(ONode *n) {
    if (!n)
        return false;
    n->owner_ = this;
    n->next_ = nullptr;
    n->prev_ = prev_;
    if (prev_)
        prev_->next_ = n;
    prev_ = n;
    if (!next_)
        next_ = n;
    return true;
}

void OList::Clear() {
    while (ONode *n = next_) {
        next_ = n->next_;
        delete n;
    }
    next_ = prev_ = nullptr;
}

long OList::Count() const {
    long c = 0;
    for (ONode *n = next_; n; n = n->next_)
        ++c;
    return c;
}
