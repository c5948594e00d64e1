#include "record/failure.h"

namespace lpgm {

int OpenFailureNumber(platform::OpenError error) {
  switch (error) {
    case platform::OpenError::kBadName:
      return kErrBadFileName;
    case platform::OpenError::kPermission:
      return kErrPermission;
    default:
      return kErrOpenFailure;
  }
}

}  // namespace lpgm
