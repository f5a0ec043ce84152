#include "StoreParts.h"

#include "EMTaskData.h"

#include <algorithm>
#include <cstring>

namespace emtask {

int SettingsBlock::Save() { return m_Store.SaveSetting(); }

UserRegister::UserRegister(EMTaskData& store) : m_Store(store), m_Total(store.m_Settings.m_BusInfo.totaluser)
{ }

const BusUserInfo& UserRegister::At(int slot) const
{
    static const BusUserInfo kEmpty{};
    return slot >= 0 && slot < kMaxUsers ? wp_BusUserInfo[slot] : kEmpty;
}

bool UserRegister::Put(int slot, const BusUserInfo& user)
{
    if (slot < 1 || slot >= kMaxUsers) return false;
    if (wp_BusUserInfo[slot].uid <= 0) ++m_Total;
    wp_BusUserInfo[slot] = user;
    wp_BusUserInfo[slot].uid = slot;
    return true;
}

void UserRegister::Erase(int slot)
{
    if (slot < 0 || slot >= kMaxUsers) return;
    if (wp_BusUserInfo[slot].uid > 0) --m_Total;
    std::memset(&wp_BusUserInfo[slot], 0, sizeof(BusUserInfo));
}

void UserRegister::Clear()
{
    std::memset(wp_BusUserInfo, 0, sizeof wp_BusUserInfo);
    m_Total = 0;
}

void UserRegister::Recount()
{
    int32_t total = 0;
    for (const BusUserInfo& u : wp_BusUserInfo)
        if (u.uid > 0) ++total;
    m_Total = total;
}

int UserRegister::Save() { return m_Store.SaveUserInfo(); }

void SearchResults::Clear()
{
    m_DeviceSearchTotalCnt = 0;
    std::memset(&m_SearchData, 0, 8);
}

void SearchResults::MarkShown()
{
    m_SearchData.datakind = 'A';
    m_SearchData.datacnt = std::clamp(m_DeviceSearchTotalCnt, 0, kMaxRecords);
}

}  // namespace emtask
