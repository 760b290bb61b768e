// What owns a drawing attribute (a line's or a point mark's style) and must hear of its changes.
#pragma once

namespace kvel {

class AttrOwner {
  public:
    virtual void attrChanged() = 0;

  protected:
    ~AttrOwner() = default;
};

}  // namespace kvel
