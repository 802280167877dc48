// libFuzzer harness for the LAN ball-position body that a peer sends after a
// throw. The input is the body; the recorder reads it without a scene, then
// plays what it kept. Invariants: a read never leaves the received bytes
// (ASan), the record count stays inside the ring, every kept ball has its
// frames, a body the check refuses is not read (the recorder keeps what it
// had), and one it accepts is read whole.
#include <CObjnet.h>
#include <CReplayMgr.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CReplayMgr replay;
    static const bool ready = replay.Init();
    Check(ready);

    // The network layer hands the message over positioned after its type id.
    std::vector<uint8_t> message(4, 0);
    message.insert(message.end(), data, data + size);
    CObjnet in;
    if (in.SetData(message.data(), int(message.size())) != 0)
        return 0;

    replay.DeleteAllEntities();
    replay.mWriteIndex = 0;
    replay.mDuration = 0;
    const bool accepted = replay.CheckPositionsBody(in);
    Check(in.GetPosition() == 4);   // the check reads nothing off the message
    const uint32_t count = replay.UnserializePositions(in);
    Check(count < CReplayMgr::CAPACITY);
    Check(replay.mWriteIndex == count);
    Check(uint32_t(replay.mEntities.GetCount()) <= CReplayMgr::MAX_BALL_BLOCKS);
    if (!accepted)
        Check(count == 0 && replay.mEntities.IsEmpty() && replay.mDuration == 0);
    else
        Check(!in.HasMoreData() && !in.IsFailed());
    for (CReplayEntity* e = replay.mEntities.GetHead(); e; e = e->mNext)
        Check(e->mRecords != nullptr && e->mCapacity == CReplayMgr::CAPACITY);

    replay.StartReplay(0);
    for (uint32_t t = 0; replay.Replay(t); t += 7) {
    }
    Check(!replay.mReplaying);
    replay.DeleteAllEntities();
    return 0;
}
