// FCAutoCSec on a Win32 CRITICAL_SECTION.
#include "http/auto_csec.h"

#include <windows.h>

#include <new>

namespace corvane {
namespace inner {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "the storage of FCAutoCSec is too small");

FCAutoCSec::FCAutoCSec() { InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
FCAutoCSec::~FCAutoCSec() { DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
void FCAutoCSec::Lock() { EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
void FCAutoCSec::Unlock() { LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }

}  // namespace inner
}  // namespace corvane
