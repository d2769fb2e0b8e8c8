#include "discovery/platform/windows/firewall_rules.h"

#include <windows.h>
#include <netfw.h>
#include <oleauto.h>

#include <cwchar>
#include <optional>
#include <string>
#include <utility>

namespace discovery {
namespace {

// kAnyProtocol, which mingw-w64's icftypes.h leaves out.
constexpr long kAnyProtocol = 256;

// Holds a COM pointer for its scope.
template <class Interface>
class Held {
 public:
  Held() = default;
  ~Held() {
    if (pointer_) pointer_->Release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  Interface** out() { return &pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

class HeldText {
 public:
  ~HeldText() { SysFreeString(text_); }
  BSTR* out() { return &text_; }
  std::wstring_view view() const { return text_ ? std::wstring_view(text_, SysStringLen(text_)) : std::wstring_view(); }

 private:
  BSTR text_ = nullptr;
};

// COM for this thread while it lives, unless the thread has it already.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

std::wstring expanded(std::wstring_view path) {
  const std::wstring text(path);
  wchar_t buffer[MAX_PATH * 2];
  const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer, MAX_PATH * 2);
  return length > 0 && length <= MAX_PATH * 2 ? std::wstring(buffer) : text;
}

std::wstring thisProgram() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return std::wstring(path, length);
}

// What the inbound rules say of this program's UDP on the port, each rule
// that concerns it noted here.
struct RulesSeen {
  bool blocked = false;     // an enabled block rule for every profile in force
  bool allowed = false;     // an enabled allow rule for every profile in force
  bool otherProfile = false;
  bool disabled = false;

  void note(INetFwRule* rule, const std::wstring& program, std::uint16_t port, long profilesInForce) {
    NET_FW_RULE_DIRECTION direction{};
    NET_FW_ACTION action{};
    long protocol = 0, profiles = 0;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    HeldText application, ports;
    if (FAILED(rule->get_Direction(&direction)) || direction != NET_FW_RULE_DIR_IN ||
        FAILED(rule->get_Protocol(&protocol)) || (protocol != NET_FW_IP_PROTOCOL_UDP && protocol != kAnyProtocol) ||
        FAILED(rule->get_Action(&action)) || FAILED(rule->get_Enabled(&enabled)) || FAILED(rule->get_Profiles(&profiles)))
      return;
    rule->get_ApplicationName(application.out());
    // A rule for another program, or for another port, says nothing of this one.
    if (!application.view().empty() && _wcsicmp(expanded(application.view()).c_str(), program.c_str()) != 0) return;
    if (protocol == NET_FW_IP_PROTOCOL_UDP) {
      rule->get_LocalPorts(ports.out());
      if (!portsTakeIn(ports.view(), port)) return;
    }
    const bool covers = (profiles & profilesInForce) == profilesInForce;
    if (enabled == VARIANT_FALSE) disabled = disabled || action == NET_FW_ACTION_ALLOW;
    else if (action == NET_FW_ACTION_BLOCK) blocked = blocked || covers;
    else if (covers) allowed = true;
    else otherProfile = true;
  }

  FirewallVerdict verdict() const {
    // A block rule wins over any allow rule.
    if (blocked) return FirewallVerdict::Blocked;
    if (allowed) return FirewallVerdict::Allowed;
    if (otherProfile) return FirewallVerdict::ProfileNotCovered;
    if (disabled) return FirewallVerdict::RuleDisabled;
    return FirewallVerdict::NoRule;
  }
};

// "N" or "LOW-HIGH", the whole item; nothing for a range's name (RPC,
// IPHTTPS) or junk.
std::optional<std::pair<unsigned long, unsigned long>> rangeOf(const std::wstring& item) {
  wchar_t* end = nullptr;
  const unsigned long low = std::wcstoul(item.c_str(), &end, 10);
  if (end == item.c_str()) return std::nullopt;
  if (*end == 0) return std::pair(low, low);
  if (*end != L'-') return std::nullopt;
  const wchar_t* highStart = end + 1;
  const unsigned long high = std::wcstoul(highStart, &end, 10);
  if (end == highStart || *end != 0) return std::nullopt;
  return std::pair(low, high);
}

bool firewallOnFor(INetFwPolicy2* policy, long profilesInForce) {
  for (long profile : {NET_FW_PROFILE2_DOMAIN, NET_FW_PROFILE2_PRIVATE, NET_FW_PROFILE2_PUBLIC}) {
    VARIANT_BOOL on = VARIANT_TRUE;
    if ((profilesInForce & profile) && SUCCEEDED(policy->get_FirewallEnabled(static_cast<NET_FW_PROFILE_TYPE2>(profile), &on)) &&
        on != VARIANT_FALSE)
      return true;
  }
  return false;
}

}  // namespace

bool portsTakeIn(std::wstring_view ports, std::uint16_t port) {
  if (ports.empty() || ports == L"*") return true;
  while (!ports.empty()) {
    const auto comma = ports.find(L',');
    const std::wstring item(ports.substr(0, comma));
    ports = comma == std::wstring_view::npos ? std::wstring_view() : ports.substr(comma + 1);
    if (const auto range = rangeOf(item); range && range->first <= port && port <= range->second) return true;
  }
  return false;
}

FirewallVerdict firewallVerdictForThisProgram(std::uint16_t port) {
  const ComScope com;
  if (!com.usable()) return FirewallVerdict::CannotTell;
  Held<INetFwPolicy2> policy;
  if (FAILED(CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwPolicy2),
                              reinterpret_cast<void**>(policy.out()))))
    return FirewallVerdict::CannotTell;
  long profilesInForce = 0;
  if (FAILED(policy->get_CurrentProfileTypes(&profilesInForce))) return FirewallVerdict::CannotTell;
  if (!firewallOnFor(policy.operator->(), profilesInForce)) return FirewallVerdict::Allowed;
  Held<INetFwRules> rules;
  Held<IUnknown> enumerator;
  Held<IEnumVARIANT> each;
  if (FAILED(policy->get_Rules(rules.out())) || FAILED(rules->get__NewEnum(enumerator.out())) ||
      FAILED(enumerator->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(each.out()))))
    return FirewallVerdict::CannotTell;
  const std::wstring program = thisProgram();
  RulesSeen seen;
  VARIANT item;
  VariantInit(&item);
  ULONG fetched = 0;
  while (each->Next(1, &item, &fetched) == S_OK && fetched == 1) {
    Held<INetFwRule> rule;
    if (item.vt == VT_DISPATCH && item.pdispVal &&
        SUCCEEDED(item.pdispVal->QueryInterface(__uuidof(INetFwRule), reinterpret_cast<void**>(rule.out()))))
      seen.note(rule.operator->(), program, port, profilesInForce);
    VariantClear(&item);
  }
  return seen.verdict();
}

}  // namespace discovery
