#include "link/EepromRequests.h"

#include "link/Frame.h"
#include "link/HpuCommands.h"

void EepromRequests::read(Owner owner) {
    HpuCommands::lectureEEPROM_HPU(state_);
    slotOwner_ = owner;
}

void EepromRequests::write(Owner owner, qint64 address, qint64 value) {
    HpuCommands::ecritureEEPROM_HPU(state_, address, value);
    slotOwner_ = owner;
}

bool EepromRequests::slotHoldsEepromRequest() const {
    const ByteArray41& slot = state_.TrameBufferEmission;
    return slot[0] == Frame::kToHpu && slot[1] == Frame::kFromTool &&
           (slot[2] == Frame::kEepromRead || slot[2] == Frame::kEepromWrite);
}

void EepromRequests::commandWritten() {
    if (slotOwner_ && state_.TrameBufferEmission[2] == Frame::kEepromWrite)
        ++writesSent_[slotOwner_];
    slotOwner_ = nullptr;
}

bool EepromRequests::isPending(Owner owner) const {
    return state_.emissionRequest && slotOwner_ == owner && slotHoldsEepromRequest();
}

bool EepromRequests::withdraw(Owner owner) {
    if (!isPending(owner))
        return false;
    state_.emissionRequest = false;
    slotOwner_ = nullptr;
    return true;
}

void EepromRequests::withdrawAll() {
    if (state_.emissionRequest && slotHoldsEepromRequest())
        state_.emissionRequest = false;
    slotOwner_ = nullptr;
}

void EepromRequests::clearAnswers() {
    state_.reponseHPU = false;
    state_.reponseecritureHPU = false;
    incompleteAnswer_ = false;
}
