// Command routing: every menu item, toolbar button and accelerator carries a command id. A command
// goes to the first target on the route (active view, its document, the child frame, the main
// frame, the application) that has a handler for it. The enabled and checked state of its items
// comes from the first target on the same route that has an update handler; without one, an item
// is enabled exactly when some target handles the command.
#pragma once

#include <functional>
#include <map>

class CCmdUI {
public:
    explicit CCmdUI(int id) : m_nID(id) {}

    void Enable(bool on = true) {
        m_bEnabled = on;
        m_bEnableChanged = true;
    }
    void SetCheck(int check = 1) { m_nCheck = check; }

    int m_nID;
    bool m_bEnabled = false;
    bool m_bEnableChanged = false;  // an update handler decided the enabled state
    int m_nCheck = 0;
};

class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;

    bool HasCommand(int id) const;
    // Runs the command handler for id; false when this target has none.
    bool DoCommand(int id);
    // Runs the update handler for id; false when this target has none.
    bool DoUpdate(CCmdUI& ui);

protected:
    void OnCommand(int id, std::function<void()> handler);
    void OnCommandRange(int first, int last, std::function<void(int)> handler);
    void OnUpdate(int id, std::function<void(CCmdUI&)> handler);

private:
    std::map<int, std::function<void(int)>> m_commands;
    std::map<int, std::function<void(CCmdUI&)>> m_updates;
};
