function mpc = four_fix
%FOUR_FIX  The four-bus loop with generator 3 free of cost up to 100 MW (it runs at 100 MW)
%   Buses 10 (reference), 20, 30 form a loop of three branches of x 0.1 pu;
%   branch 1 (10-20) shifts by -3 degrees and is rated 200 MW. Bus 40 hangs
%   from bus 10 and holds generator 2 (-50..100 MW) and generator 3
%   (piecewise linear: 11 $/MWh up to 100 MW, 14 $/MWh above).
mpc.version = '2';
mpc.baseMVA = 100;

%% bus data
%	bus_i	type	Pd	Qd	Gs	Bs	area	Vm	Va	baseKV	zone	Vmax	Vmin
mpc.bus = [
	10	3	0	0	0	0	1	1	0	230	1	1.1	0.9;
	20	1	300	0	0	0	1	1	0	230	1	1.1	0.9;
	30	2	100	0	0	0	1	1	0	230	1	1.1	0.9;
	40	2	0	0	0	0	1	1	0	230	1	1.1	0.9;
];

%% generator data
%	bus	Pg	Qg	Qmax	Qmin	Vg	mBase	status	Pmax	Pmin
mpc.gen = [
	10	0	0	100	-100	1	100	1	500	0;
	40	0	0	100	-100	1	100	1	100	-50;
	40	0	0	100	-100	1	100	1	100	0;
	30	0	0	100	-100	1	100	1	200	0;
];

%% branch data
%	fbus	tbus	r	x	b	rateA	rateB	rateC	ratio	angle	status	angmin	angmax
mpc.branch = [
	10	20	0	0.1	0	200	0	0	0	-3	1	-360	360;
	10	30	0	0.1	0	0	0	0	0	0	1	-360	360;
	20	30	0	0.1	0	0	0	0	0	0	1	-360	360;
	10	40	0	0.1	0	0	0	0	0	0	1	-360	360;
];

%% generator cost data
mpc.gencost = [
	2	0	0	3	0.01	10	0	0	0	0;
	2	0	0	3	0.02	14	0	0	0	0;
	2	0	0	3	0	0	0	0	0	0;
	2	0	0	3	0.05	20	0	0	0	0;
];
