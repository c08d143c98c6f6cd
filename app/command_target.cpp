#include "app/command_target.h"

bool CCommandTarget::HasCommand(int id) const {
    return m_commands.count(id) != 0;
}

bool CCommandTarget::DoCommand(int id) {
    const auto it = m_commands.find(id);
    if (it == m_commands.end()) return false;
    // A handler may destroy this target (closing a document): work on a copy.
    const auto handler = it->second;
    handler(id);
    return true;
}

bool CCommandTarget::DoUpdate(CCmdUI& ui) {
    const auto it = m_updates.find(ui.m_nID);
    if (it == m_updates.end()) return false;
    it->second(ui);
    return true;
}

void CCommandTarget::OnCommand(int id, std::function<void()> handler) {
    m_commands[id] = [handler = std::move(handler)](int) { handler(); };
}

void CCommandTarget::OnCommandRange(int first, int last, std::function<void(int)> handler) {
    for (int id = first; id <= last; ++id)
        m_commands[id] = handler;
}

void CCommandTarget::OnUpdate(int id, std::function<void(CCmdUI&)> handler) {
    m_updates[id] = std::move(handler);
}
