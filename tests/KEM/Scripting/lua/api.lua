-- The script vocabulary, each check returning true when it holds.
function Libraries()
    return os == nil and package == nil and io == nil and debug == nil and require == nil
        and table.insert ~= nil and string.format ~= nil and math.sqrt ~= nil
        and coroutine.wrap ~= nil and pcall ~= nil and ipairs ~= nil
end

function Constants()
    local N = kem.KEMSceneNode
    return N.KEM_SCENEOBJECT_MESH == 1 and N.KEM_SCENEOBJECT_SCENE == 2 and N.KEM_SCENE_LIGHT == 4
        and N.KEM_SCENE_CAMERA == 5 and N.KEM_SCENE_PATH == 6 and N.KEM_SCENE_TRIGGER == 7
        and kem.CPhysicObject.STATIC_ACTOR == 0 and kem.CPhysicObject.MOVABLE_ACTOR == 1
end

function Maths()
    local x = kem.Vector3(1, 0, 0)
    local y = kem.Vector3(0, 1, 0)
    local z = x:crossProduct(y)
    local v = kem.Vector3(3, 4, 0)
    local copy = kem.Vector3(v)
    local length = v:normalise()
    local q = kem.Quaternion(kem.Radian(math.pi), kem.Vector3(0, 1, 0))
    local r = x:getRotationTo(y)
    local same = kem.Quaternion(q)
    return z.z == 1 and x:dotProduct(y) == 0 and length == 5 and math.abs(v:length() - 1) < 1e-6
        and copy.x == 3 and kem.Vector3(2).y == 2 and math.abs(q.y - 1) < 1e-6
        and math.abs(r.z - math.sqrt(0.5)) < 1e-6 and same.w == q.w
        and x:reflect(y).x == 1 and math.abs(x:perpendicular():dotProduct(x)) < 1e-6
end

function Clock()
    return kem.getTimerTool():getTimeMs()
end

function ScriptOwner()
    local node = script.getThis():getKEMSceneNode()
    return node:getKEMScript():getKEMSceneNode():getName() == node:getName()
        and script.getThis():getKEMSceneObject():getName() == node:getName()
        and script.getThis():getKEMSceneSound():getName() == node:getName()
end

function Find(name)
    return kem.getScenaricMgr():getObjectByName(name) ~= nil
end

function Move()
    local node = script.getThis():getKEMSceneNode()
    node:translate(kem.Vector3(1, 2, 3), 2)
    node:setPosition(kem.Vector3(1, 2, 3), true)
    node:rotate(kem.Quaternion(1, 0, 0, 0), 0)
    node:setToVisible(false)
    node:setDebugMode(true)
    node:detachPhysicObject()
    node:removePhysicObject()
    return node:getDebugMode() and node:getPhysicObject() == nil
end

function Velocity()
    local body = script.getThis():getKEMSceneNode():getPhysicObject()
    body:setLinearVelocity(kem.Vector3(1, 2, 3))
    body:setAngularVelocity(kem.Vector3(0, 0, 4))
    body:addForce(kem.Vector3(0, 0, 1), 1, kem.Vector3(0, 0, 0), 1, 0)
    body:addTorque(kem.Vector3(0, 1, 0), 1, kem.Vector3(0, 0, 0), 1, 0)
    return body:getLinearVelocity().y == 2 and body:getAngularVelocity().z == 4
end

function RemoveSelf()
    script.getThis():getKEMSceneNode():removeScript()
    afterRemoval = true
    script.getThis()
end

-- An object node reached both ways has the node's and the object's methods.
function ObjectClass()
    local vm = script.getThis()
    local asNode = vm:getKEMSceneNode()
    local asObject = vm:getKEMSceneObject()
    return asNode:getName() == asObject:getName() and asNode.playAnim ~= nil
        and asObject:getAnimLength("none") == 0 and asObject:getCurrentAnimIndex() == -1
        and asObject:isAnimOver("none") == false and asObject:getCurrentAnimName() == ""
end

-- The script goes from a call nested in another call on the same state.
function RemoveThroughTerm()
    armed = true
    script.getThis():getKEMSceneNode():VMCallTerm()
    afterTerm = true
end

function Term(frame)
    if armed and not removing then
        removing = true
        script.getThis():getKEMSceneNode():removeScript()
    end
end
