// FCAutoCSec on a recursive pthread mutex (a critical section may be re-entered by its owner).
#include "http/auto_csec.h"

#include <pthread.h>

namespace corvane {
namespace inner {

static_assert(sizeof(pthread_mutex_t) <= 64, "the storage of FCAutoCSec is too small");

namespace {
pthread_mutex_t* Mutex(unsigned char* storage) { return reinterpret_cast<pthread_mutex_t*>(storage); }
}  // namespace

FCAutoCSec::FCAutoCSec() {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(Mutex(m_storage), &attributes);
  pthread_mutexattr_destroy(&attributes);
}
FCAutoCSec::~FCAutoCSec() { pthread_mutex_destroy(Mutex(m_storage)); }
void FCAutoCSec::Lock() { pthread_mutex_lock(Mutex(m_storage)); }
void FCAutoCSec::Unlock() { pthread_mutex_unlock(Mutex(m_storage)); }

}  // namespace inner
}  // namespace corvane
