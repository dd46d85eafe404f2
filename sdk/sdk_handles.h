#pragma once
// The table behind every handle of sdk.h. A handle is a number that is never reused, so a released handle
// can be recognised and refused instead of reaching freed memory; the table holds one reference count per
// handle and a shared owner of its object, which lives on while a call still uses it.
#include "sdk/sdk.h"

#include <memory>
#include <vector>

namespace orvex::sdk::detail {

class Object {
  public:
    virtual ~Object() = default;
};

// Handles can only be made between openHandleTable and closeHandleTable.
void openHandleTable();
// Forgets every handle; the caller drops the returned owners once it holds no lock.
std::vector<std::shared_ptr<Object>> closeHandleTable();
bool handleTableOpen();

// A new handle with a count of one. EDS_ERR_INTERNAL_ERROR when the SDK is not initialised.
EdsError addHandle(std::shared_ptr<Object> object, EdsBaseRef& out);
EdsError retainHandle(EdsBaseRef ref);
EdsError releaseHandle(EdsBaseRef ref);
std::shared_ptr<Object> findObject(EdsBaseRef ref);

// The object behind `ref` when it is of kind T, else null.
template <class T> std::shared_ptr<T> findHandle(EdsBaseRef ref) {
    return std::dynamic_pointer_cast<T>(findObject(ref));
}

} // namespace orvex::sdk::detail
