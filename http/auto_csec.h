// inner::FCAutoCSec: owns one critical section for the lifetime of the object. Callers lock and
// unlock around each access; there is deliberately no scoped-lock class.
#pragma once

namespace corvane {
namespace inner {

class FCAutoCSec {
 public:
  FCAutoCSec();
  virtual ~FCAutoCSec();
  FCAutoCSec(const FCAutoCSec&) = delete;
  FCAutoCSec& operator=(const FCAutoCSec&) = delete;

  void Lock();
  void Unlock();

 private:
  // Room for the platform's lock (CRITICAL_SECTION on Windows, a pthread mutex elsewhere);
  // each platform file checks that its lock fits.
  alignas(8) unsigned char m_storage[64];
};

}  // namespace inner
}  // namespace corvane
