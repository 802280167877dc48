#include "CTrainingGMState.h"

#include "CTrainingGameMode.h"

#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CTrainingGameMaster.h>
#include <CWrapOgreCamera.h>
#include <TestReport.h>

#include <OgreAxisAlignedBox.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreRay.h>

void CTrainingGMState::ChangeTo(int id) {
    if (mOwner)
        mOwner->GetMachine().ChangeState(id);
}

CTrainingGameMaster* CTrainingGMState::Referee() const {
    return mOwner ? mOwner->GetReferee() : nullptr;
}

namespace {

// The current camera; null when there is none.
const Ogre::Camera* CurrentCamera() {
    CKEMSceneCamera* node = CKEMSceneGraph::GetCurrentCamera();
    CWrapOgreCamera* wrap = node && node->GetCamera() ? node->GetCamera()->GetCamera() : nullptr;
    return wrap ? wrap->getCamera() : nullptr;
}

// The node's mesh lies on the segment from eye to point: tested in the
// node's own frame, where its turned box is square to the axes.
bool Cuts(const CKEMSceneNode* node, const Ogre::Vector3& eye, const Ogre::Vector3& point) {
    const CKEMSceneObject* object = dynamic_cast<const CKEMSceneObject*>(node);
    const CKEMSceneEntityHandle* handle = object && object->IsVisible() ? object->GetObjectEntityHandle() : nullptr;
    const Ogre::Entity* entity = handle ? handle->GetEntity() : nullptr;
    const Ogre::SceneNode* graphic = entity ? entity->getParentSceneNode() : nullptr;
    if (!graphic)
        return false;
    const Ogre::Affine3 local = graphic->_getFullTransform().inverse();
    const Ogre::Vector3 from = local * eye, to = local * point;
    const float length = from.distance(to);
    if (length <= 0.0f)
        return false;
    const Ogre::Ray sight(from, (to - from) / length);
    const std::pair<bool, Ogre::Real> hit = sight.intersects(entity->getBoundingBox());
    return hit.first && hit.second < length;
}

}  // namespace

void CTrainingGMState::ReportPointView(const char* label, const Ogre::Vector3& point) const {
    CTrainingGameMaster* referee = Referee();
    if (!TestReportEnabled() || !referee)
        return;
    const Ogre::Camera* camera = CurrentCamera();
    if (!camera) {
        TestReport("%s none", label);
        return;
    }
    const Ogre::Vector3 seen = camera->getViewMatrix() * point;
    const Ogre::Vector3 ndc = camera->getProjectionMatrix() * seen;
    const Ogre::Vector3 eye = camera->getDerivedPosition();
    bool hidden = Cuts(CGameMaster::GetPlayerNode(referee->GetCurrentPlayer()), eye, point);
    if (const CMovableGameElement* wall = referee->GetWall())
        hidden = hidden || Cuts(wall->GetNode(), eye, point);
    TestReport("%s %.4f %.4f ahead %d hidden %d", label, (ndc.x + 1.0f) * 0.5f, (1.0f - ndc.y) * 0.5f,
               seen.z < 0.0f ? 1 : 0, hidden ? 1 : 0);
}

void CTrainingGMState::ReportView(const char* label) const {
    CTrainingGameMaster* referee = Referee();
    if (!TestReportEnabled() || !referee)
        return;
    CKEMSceneCamera* node = CKEMSceneGraph::GetCurrentCamera();
    CWrapOgreCamera* wrap = node && node->GetCamera() ? node->GetCamera()->GetCamera() : nullptr;
    const Ogre::Camera* camera = wrap ? wrap->getCamera() : nullptr;
    if (!camera) {
        TestReport("%s none", label);
        return;
    }
    const Ogre::Vector3 focus = referee->GetCameraFocus();
    const Ogre::Vector3 seen = camera->getViewMatrix() * focus;
    const Ogre::Vector3 ndc = camera->getProjectionMatrix() * seen;
    bool hidden = false;
    if (CKEMSceneObject* body = CGameMaster::GetPlayerNode(referee->GetCurrentPlayer())) {
        if (body->IsVisible()) {
            body->UpdateBounds(false, false, false);
            const CKEMBoundingBox& box = body->GetAxisAlignedBox();
            const Ogre::Vector3 eye = camera->getDerivedPosition();
            const Ogre::Ray sight(eye, (focus - eye).normalisedCopy());
            const std::pair<bool, Ogre::Real> hit = sight.intersects(Ogre::AxisAlignedBox(box.min, box.max));
            hidden = hit.first && hit.second < eye.distance(focus);
        }
    }
    TestReport("%s %.4f %.4f ahead %d hidden %d", label, (ndc.x + 1.0f) * 0.5f, (1.0f - ndc.y) * 0.5f,
               seen.z < 0.0f ? 1 : 0, hidden ? 1 : 0);
}
