#include "downloadcontrol/activex/ConnectionPoints.h"

#include "downloadcontrol/activex/SnapshotEnumerator.h"

#include <vector>

namespace activex {
namespace {

struct ConnectionPointTraits {
    static IConnectionPoint* copy(IConnectionPoint* point) {
        point->AddRef();
        return point;
    }
    static void release(IConnectionPoint*& point) { point->Release(); }
};

using PointEnumerator = SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*, ConnectionPointTraits>;

}  // namespace

ConnectionPoints::ConnectionPoints(ObjectRoot& root, REFIID eventInterface)
    : DelegatingPart(root),
      events_(root, *this, eventInterface, true),
      propertyNotify_(root, *this, IID_IPropertyNotifySink, false) {}

void ConnectionPoints::disconnectAll() {
    events_.disconnectAll();
    propertyNotify_.disconnectAll();
}

HRESULT STDMETHODCALLTYPE ConnectionPoints::EnumConnectionPoints(IEnumConnectionPoints** points) {
    std::vector<IConnectionPoint*> all = {&events_, &propertyNotify_};
    return PointEnumerator::create(IID_IEnumConnectionPoints, all, 0, points);
}

HRESULT STDMETHODCALLTYPE ConnectionPoints::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) {
        return E_POINTER;
    }
    *point = nullptr;
    for (ConnectionPoint* candidate : {&events_, &propertyNotify_}) {
        if (IsEqualIID(iid, candidate->interfaceId())) {
            *point = candidate;
            candidate->AddRef();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

}  // namespace activex
