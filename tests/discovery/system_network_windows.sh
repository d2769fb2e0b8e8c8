#!/bin/sh
# The interfaces system_network_windows_test.cpp reads (a Windows program cannot run
# `ip`), made inside its private namespace before Wine starts: veth pairs
# whose far ends stay unaddressed, created in index order.
#   tva  10.7.0.2/24, default route via 10.7.0.1
#   tvb  10.8.0.2/24 and 10.8.1.2/24, default route via 10.8.0.254
#   tvc  up, no IPv4 address
#   tvd  10.9.0.2/24, no default route, down
set -e
# Debian keeps tc and bridge (other systems ip too) only in /usr/sbin, which
# an ordinary user's PATH lacks.
PATH="$PATH:/usr/sbin:/sbin"
for name in tva tvb tvc tvd; do
  ip link add $name type veth peer name $name-far
  ip link set $name-far up
done
for name in tva tvb tvc; do ip link set $name up; done
ip addr add 10.7.0.2/24 dev tva
ip route add default via 10.7.0.1 dev tva metric 10
ip addr add 10.8.0.2/24 dev tvb
ip addr add 10.8.1.2/24 dev tvb
ip route add default via 10.8.0.254 dev tvb metric 20
ip addr add 10.9.0.2/24 dev tvd
