// GetMachinePolicy: the platform's reading, done once.
#include "client/policy/machine_policy_source.h"

namespace corvane {

const MachinePolicy& GetMachinePolicy() {
  static const MachinePolicy policy = ReadMachinePolicy();
  return policy;
}

}  // namespace corvane
