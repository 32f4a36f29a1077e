// CBodyPrefaulter on Windows: large pages need a privilege ordinary users lack and there is no
// call to fault pages in without touching them, so pages are faulted in as they are written.
#include "http/body_prefaulter.h"

namespace corvane {
namespace inner {

struct CBodyPrefaulter::Impl {};

CBodyPrefaulter::CBodyPrefaulter() = default;
CBodyPrefaulter::~CBodyPrefaulter() = default;
void CBodyPrefaulter::Start(char*, size_t) {}
void CBodyPrefaulter::Written(size_t) {}
void CBodyPrefaulter::Stop() {}

}  // namespace inner
}  // namespace corvane
