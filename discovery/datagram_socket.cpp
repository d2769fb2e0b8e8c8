// The adapter sockets, the same on every platform; what differs is in the
// platform's file.
#include "discovery/datagram_socket.h"

#include <memory>

namespace discovery {

bool DatagramSocket::joinThrough(const Ipv4Bytes& group, const Adapter& via) {
  AdapterSocket* adapterSocket = adapterSocketOf(kIdle);
  if (!adapterSocket) adapterSocket = openAdapterSocket();
  noSocketForLastJoin_ = !adapterSocket;
  if (!adapterSocket) return false;
  DatagramSocket& socket = adapterSocket->socket;
  // The interface first: should the join fail, nothing is left to undo.
  if (!socket.setMulticastInterface(via) || !socket.joinGroup(group, via)) {
    lastError_ = socket.lastError();
    return false;
  }
  adapterSocket->adapterIndex.store(via.index);
  return true;
}

void DatagramSocket::leaveThrough(const Ipv4Bytes& group, const Adapter& via) {
  AdapterSocket* adapterSocket = adapterSocketOf(via.index);
  if (!adapterSocket) return;
  adapterSocket->adapterIndex.store(kIdle);
  adapterSocket->socket.leaveGroup(group, via);  // fails harmlessly for an adapter that is gone
}

bool DatagramSocket::sendThrough(const Adapter& via, const Ipv4Bytes& address, std::uint16_t port,
                                 std::span<const std::uint8_t> datagram) const {
  const AdapterSocket* adapterSocket = adapterSocketOf(via.index);
  return adapterSocket && adapterSocket->socket.sendNow(address, port, datagram);
}

DatagramSocket::AdapterSocket* DatagramSocket::openAdapterSocket() {
  auto opened = std::make_unique<AdapterSocket>();
  DatagramSocket& socket = opened->socket;
  if (!socket.createBeside(*this) || !bindBeside(socket) ||
      (multicastTtl_ > 0 && !socket.setMulticastTtl(multicastTtl_))) {
    lastError_ = socket.lastError();
    return nullptr;
  }
  if (receiveBufferRequest_ > 0) socket.requestReceiveBuffer(receiveBufferRequest_);
  if (!watch(socket)) return nullptr;
  opened->next = adapterSockets_.load(std::memory_order_relaxed);
  adapterSockets_.store(opened.get(), std::memory_order_release);
  return opened.release();
}

bool DatagramSocket::bindBeside(DatagramSocket& newcomer) {
  // A socket binds a port already bound only where every socket there allows
  // reuse: this one and its adapter sockets allow it just while one of their
  // own binds, so no other program can take the port from them meanwhile.
  const auto allowReuse = [&](bool allowed) {
    enableAddressReuse(allowed);
    for (AdapterSocket* adapterSocket = firstAdapterSocket(); adapterSocket; adapterSocket = adapterSocket->next)
      adapterSocket->socket.enableAddressReuse(allowed);
    newcomer.enableAddressReuse(allowed);
  };
  allowReuse(true);
  const bool bound = newcomer.bindAny(localPort());
  allowReuse(false);
  return bound;
}

DatagramSocket::AdapterSocket* DatagramSocket::adapterSocketOf(unsigned adapterIndex) const {
  for (AdapterSocket* adapterSocket = firstAdapterSocket(); adapterSocket; adapterSocket = adapterSocket->next)
    if (adapterSocket->adapterIndex.load() == adapterIndex) return adapterSocket;
  return nullptr;
}

void DatagramSocket::closeAdapterSockets() {
  AdapterSocket* next = adapterSockets_.exchange(nullptr);
  while (next) {
    const std::unique_ptr<AdapterSocket> closing(next);
    next = closing->next;
  }
}

}  // namespace discovery
