// VerifySignature, the same on every platform.
#include "client/update/signature_check.h"

namespace corvane {

bool VerifySignature(std::string_view data, std::string_view derSignature, const PublicKeyPoint& key) {
  CSignatureCheck check(key);
  check.Update(data.data(), data.size());
  return check.Verify(derSignature);
}

}  // namespace corvane
