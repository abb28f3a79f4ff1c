function mpc = three_bus
%THREE_BUS  Three buses in a loop, every branch x = 0.1 pu, for the batch's
% hand-worked scenarios: a cheap unit at bus 1 (10 $/MWh, 10..200 MW,
% constant cost 100 $/h), a dear one at bus 2 (20 $/MWh, 0..200 MW), loads
% of 30 MW at bus 2 and 60 MW at bus 3; branch 1 (1-2) rated 70 MW,
% branch 2 (1-3) 80 MW, branch 3 (2-3) 100 MW.
mpc.version = '2';
mpc.baseMVA = 100;
%% bus_i type Pd Qd Gs Bs area Vm Va baseKV zone Vmax Vmin
mpc.bus = [
	1	3	0	0	0	0	1	1	0	230	1	1.1	0.9;
	2	1	30	0	0	0	1	1	0	230	1	1.1	0.9;
	3	1	60	0	0	0	1	1	0	230	1	1.1	0.9;
];
%% bus Pg Qg Qmax Qmin Vg mBase status Pmax Pmin
mpc.gen = [
	1	0	0	100	-100	1	100	1	200	10;
	2	0	0	100	-100	1	100	1	200	0;
];
%% fbus tbus r x b rateA rateB rateC ratio angle status angmin angmax
mpc.branch = [
	1	2	0	0.1	0	70	70	70	0	0	1	-360	360;
	1	3	0	0.1	0	80	80	80	0	0	1	-360	360;
	2	3	0	0.1	0	100	100	100	0	0	1	-360	360;
];
%% model startup shutdown n c1 c0 (polynomial of degree 1: c1 P + c0)
mpc.gencost = [
	2	0	0	2	10	100;
	2	0	0	2	20	0;
];
